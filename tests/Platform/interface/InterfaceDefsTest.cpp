// InterfaceDefs.h alone gives what BeOS code expects from it, the system colour map
// included.
#include <InterfaceDefs.h>

#include <gtest/gtest.h>

TEST(InterfaceDefs, SystemColorsComeWithTheInterfaceDefinitions)
{
	const color_map* map = system_colors();
	ASSERT_NE(nullptr, map);
	// The nearest entry of pure white and black are white and black.
	const rgb_color white = map->color_list[map->index_map[0x7fff]];
	const rgb_color black = map->color_list[map->index_map[0]];
	EXPECT_EQ(255, white.red);
	EXPECT_EQ(255, white.green);
	EXPECT_EQ(255, white.blue);
	EXPECT_EQ(0, black.red + black.green + black.blue);
	EXPECT_EQ(map, system_colors()) << "one map for the process";
}
