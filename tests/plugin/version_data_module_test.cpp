// The version data the Anniversary Edition's extender reads from the module,
// as it reads it: the datum under its exported name.
#include "support/plugin_fixture.h"

#include <cstdio>

namespace qmtest {
namespace {

TEST_F(PluginFixture, TheVersionDataCarriesTheBuildsVersionPackedAsTheExtenderPacksIt) {
  LoadPlugin();
  std::string error;
  void* module = host::OpenModule(QM_PLUGIN_PATH, &error);
  ASSERT_NE(module, nullptr) << error;
  const auto* data = static_cast<const host::PluginVersionData*>(host::ModuleSymbol(module, "SKSEPlugin_Version"));
  ASSERT_NE(data, nullptr);
  unsigned major = 0, minor = 0, patch = 0;
  ASSERT_EQ(std::sscanf(QM_PROJECT_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);
  // skse64's MAKE_EXE_VERSION: major << 24 | minor << 16 | build << 4.
  EXPECT_EQ(data->pluginVersion, major << 24 | minor << 16 | patch << 4);
  EXPECT_EQ(data->dataVersion, 1u);
  EXPECT_STREQ(data->name, "Quellmark");
}

}  // namespace
}  // namespace qmtest
