#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Tools.h"
#include "framework/Tvx_Userforms.h"
#include "system/Tvx_ExternalFunctions.h"
#include "system/Tvx_ExternalProcesses.h"
#include "system/Tvx_ExternalRegistry.h"
#include "system/Tvx_ExternalWindows.h"
#include "system/Tvx_FileSystem.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

std::array<Tvx_Node*, 8> ServicesOf(const Tarvex& root) {
    return {root.Errors(),
            root.ExternalFunctions(),
            root.ExternalProcesses(),
            root.ExternalRegistry(),
            root.ExternalWindows(),
            root.FileSystem(),
            root.Tools(),
            root.Userforms()};
}

} // namespace

TEST(NodeProtocol, SecondInitializeKeepsTheFirstReferences) {
    Tarvex first;
    Tarvex second;
    Tvx_Tools node;
    node.ClassInitialize(&first, &first);
    node.ClassInitialize(&second, second.Errors());
    EXPECT_EQ(node.ClassRoot(), &first);
    EXPECT_EQ(node.ClassParent(), &first);
    EXPECT_TRUE(node.IsInitialized());
}

TEST(NodeProtocol, LoadBeforeInitializeChangesNothing) {
    Tarvex root;
    Tvx_Tools node;
    node.ClassLoad();
    EXPECT_FALSE(node.IsLoaded());
    EXPECT_FALSE(node.IsInitialized());
    node.ClassInitialize(&root, &root);
    node.ClassLoad();
    EXPECT_TRUE(node.IsLoaded());
}

TEST(NodeProtocol, TerminateOfAnInitializedNodeEmptiesItsReferences) {
    Tarvex root;
    Tvx_Tools node;
    node.ClassInitialize(&root, &root);
    node.ClassTerminate();
    EXPECT_FALSE(node.IsInitialized());
    EXPECT_FALSE(node.IsLoaded());
    EXPECT_EQ(node.ClassRoot(), nullptr);
    EXPECT_EQ(node.ClassParent(), nullptr);
    // It can be initialized again, with new references.
    Tarvex other;
    node.ClassInitialize(&other, &other);
    EXPECT_EQ(node.ClassRoot(), &other);
}

TEST(NodeProtocol, TerminateOfALoadedNodeClearsBothFlags) {
    Tarvex root;
    Tvx_Tools node;
    node.ClassInitialize(&root, &root);
    node.ClassLoad();
    node.ClassTerminate();
    EXPECT_FALSE(node.IsLoaded());
    EXPECT_FALSE(node.IsInitialized());
}

TEST(NodeProtocol, TerminateOfANeverInitializedNodeChangesNothing) {
    Tvx_Tools node;
    node.ClassTerminate();
    EXPECT_FALSE(node.IsInitialized());
    EXPECT_EQ(node.ClassRoot(), nullptr);
}

TEST(Root, CreatesEightInitializedServicesThatKnowTheRoot) {
    Tarvex root;
    EXPECT_TRUE(root.IsInitialized());
    EXPECT_FALSE(root.IsLoaded());
    std::set<Tvx_Node*> distinct;
    for (Tvx_Node* service : ServicesOf(root)) {
        ASSERT_NE(service, nullptr);
        EXPECT_TRUE(service->IsInitialized()) << service->TypeName();
        EXPECT_FALSE(service->IsLoaded()) << service->TypeName();
        EXPECT_EQ(service->ClassRoot(), &root) << service->TypeName();
        EXPECT_EQ(service->ClassParent(), &root) << service->TypeName();
        distinct.insert(service);
    }
    EXPECT_EQ(distinct.size(), 8u);
}

TEST(Root, PropertiesHandOutTheSameObjectEveryTime) {
    Tarvex root;
    const auto first = ServicesOf(root);
    const auto again = ServicesOf(root);
    EXPECT_EQ(first, again);
}

TEST(Root, ServicesCarryTheirClassNames) {
    Tarvex root;
    const char* expected[] = {"Tvx_Errors",
                              "Tvx_ExternalFunctions",
                              "Tvx_ExternalProcesses",
                              "Tvx_ExternalRegistry",
                              "Tvx_ExternalWindows",
                              "Tvx_FileSystem",
                              "Tvx_Tools",
                              "Tvx_Userforms"};
    const auto services = ServicesOf(root);
    for (size_t i = 0; i < services.size(); ++i) {
        EXPECT_STREQ(services[i]->TypeName(), expected[i]);
    }
    EXPECT_STREQ(root.TypeName(), "Tarvex");
}

TEST(Root, LoadLoadsEveryServiceOnce) {
    Tarvex root;
    root.ClassLoad();
    EXPECT_TRUE(root.IsLoaded());
    for (Tvx_Node* service : ServicesOf(root)) {
        EXPECT_TRUE(service->IsLoaded()) << service->TypeName();
    }
}

TEST(Root, TerminateTerminatesEveryServiceAndKeepsTheFields) {
    Tarvex root;
    root.ClassLoad();
    const auto before = ServicesOf(root);
    root.ClassTerminate();
    EXPECT_FALSE(root.IsInitialized());
    EXPECT_FALSE(root.IsLoaded());
    const auto after = ServicesOf(root);
    EXPECT_EQ(before, after);
    for (Tvx_Node* service : after) {
        EXPECT_FALSE(service->IsInitialized()) << service->TypeName();
        EXPECT_FALSE(service->IsLoaded()) << service->TypeName();
        EXPECT_EQ(service->ClassRoot(), nullptr);
    }
    // Terminating again finds nothing initialized and changes nothing.
    root.ClassTerminate();
    EXPECT_EQ(ServicesOf(root), after);
}

TEST(Root, ReinitializeYieldsEightNewServicesNoneLoaded) {
    Tarvex root;
    root.ClassLoad();
    const auto before = ServicesOf(root);
    root.ClassReinitialize();
    EXPECT_TRUE(root.IsInitialized());
    EXPECT_FALSE(root.IsLoaded());
    const auto after = ServicesOf(root);
    for (size_t i = 0; i < after.size(); ++i) {
        ASSERT_NE(after[i], nullptr);
        EXPECT_NE(after[i], before[i]) << after[i]->TypeName();
        EXPECT_TRUE(after[i]->IsInitialized());
        EXPECT_FALSE(after[i]->IsLoaded());
        EXPECT_EQ(after[i]->ClassRoot(), &root);
    }
}

TEST(Root, InitializeOnAnInitializedRootChangesNothing) {
    Tarvex root;
    const auto before = ServicesOf(root);
    root.ClassInitialize();
    EXPECT_EQ(ServicesOf(root), before);
}
