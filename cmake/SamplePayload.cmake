# The sample start folder that the run command and the tests start TvxSetup.exe from: the program
# beside its nine support files, Docs\ and the twenty fonts, laid out as the delivered setup folder
# is. Every build refreshes it in build/sample.
set(TVX_SAMPLE_DIR ${CMAKE_BINARY_DIR}/sample)

set(sample_stamp ${CMAKE_BINARY_DIR}/sample-payload.stamp)
add_custom_command(
    OUTPUT ${sample_stamp}
    COMMAND ${CMAKE_COMMAND} -DTVX_SAMPLE_DIR=${TVX_SAMPLE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/MakeSamplePayload.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${sample_stamp}
    DEPENDS ${CMAKE_SOURCE_DIR}/cmake/MakeSamplePayload.cmake
    COMMENT "Sample start folder: payload"
    VERBATIM)
add_custom_command(
    OUTPUT ${TVX_SAMPLE_DIR}/TvxSetup.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TVX_SAMPLE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:TvxSetup> ${TVX_SAMPLE_DIR}/TvxSetup.exe
    DEPENDS TvxSetup $<TARGET_FILE:TvxSetup>
    COMMENT "Sample start folder: TvxSetup.exe"
    VERBATIM)
add_custom_target(tvx_sample ALL DEPENDS ${sample_stamp} ${TVX_SAMPLE_DIR}/TvxSetup.exe)
