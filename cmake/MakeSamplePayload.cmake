# Writes the payload of the sample start folder (run with cmake -P, TVX_SAMPLE_DIR set).
#
# None of these files is what its name says: the fonts are no fonts, the DLLs no libraries, the
# template no template. The setup copies them as they are and looks at nothing in them but the
# fonts' sizes, so small text files do. Each one names itself in its first line and has a size of
# its own, fixed here, so that a test can tell every copy apart and knows every size in advance.

if(NOT TVX_SAMPLE_DIR)
    message(FATAL_ERROR "TVX_SAMPLE_DIR is not set")
endif()

# The file is its first line repeated and cut to the size asked for.
function(sample_file relative size)
    set(line "Tarvex sample payload, not a real file: ${relative}\r\n")
    string(LENGTH "${line}" line_length)
    math(EXPR copies "${size} / ${line_length} + 1")
    string(REPEAT "${line}" ${copies} text)
    string(SUBSTRING "${text}" 0 ${size} text)
    file(WRITE "${TVX_SAMPLE_DIR}/${relative}" "${text}")
endfunction()

sample_file(Docs/Tvx.dot 3072)
sample_file(Docs/Keyboard.doc 2560)
sample_file(Docs/TvxTutorial.exe 3584)
sample_file(Docs/QuickGuide.doc 2048)

# The font list of the setup, in its order and spelling; font n is 4096 + 100 * n bytes long.
set(fonts
    MATH1___.TTF MATH1B__.TTF MATH1M__.TTF
    MATH2___.TTF MATH2B__.TTF MATH2M__.TTF MATH2MB_.TTF
    MATH3___.TTF MATH3B__.TTF math3m__.ttf math3mb_.ttf
    MATH4___.TTF MATH4B__.TTF MATH4M__.TTF MATH4MB_.TTF
    MATH5___.TTF MATH5B__.TTF MATH5M__.TTF MATH5MB_.TTF
    TvxSymb.ttf)
set(n 0)
foreach(font ${fonts})
    math(EXPR n "${n} + 1")
    math(EXPR size "4096 + 100 * ${n}")
    sample_file(Fonts/${font} ${size})
endforeach()

# The runtime support files beside the program; file n is 1024 + 64 * n bytes long.
set(support ADVPACK.DLL ASYCFILT.DLL COMCAT.DLL msvbvm60.dll OLEAUT32.DLL OLEPRO32.DLL STDOLE2.TLB W95INF16.DLL
            W95INF32.DLL)
set(n 0)
foreach(file ${support})
    math(EXPR n "${n} + 1")
    math(EXPR size "1024 + 64 * ${n}")
    sample_file(${file} ${size})
endforeach()
