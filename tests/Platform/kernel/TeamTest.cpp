#include <OS.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

TEST(Team, TeamInfoDescribesThisProcess)
{
	team_info info;
	ASSERT_EQ(B_OK, get_team_info(B_CURRENT_TEAM, &info));
	EXPECT_EQ(getpid(), info.team);
	EXPECT_GE(info.thread_count, 1);
	EXPECT_GE(info.argc, 1);
	// args starts with the program's path, as its command line does.
	std::ifstream commandLine("/proc/self/cmdline");
	std::string program;
	std::getline(commandLine, program, '\0');
	EXPECT_EQ(
		program.substr(0, sizeof(info.args) - 1), std::string(info.args).substr(0, program.size()));
	EXPECT_EQ(getuid(), info.uid);
	EXPECT_EQ(getgid(), info.gid);
	EXPECT_GT(info.area_count, 0);
	EXPECT_GT(info.image_count, 0);

	team_info same;
	ASSERT_EQ(B_OK, get_team_info(getpid(), &same));
	EXPECT_EQ(info.team, same.team);
}

TEST(Team, ThreadIdsAndUnknownIdsAreNotTeams)
{
	team_info info;
	EXPECT_EQ(B_BAD_TEAM_ID, get_team_info(0x7ffffff0, &info));
	EXPECT_EQ(B_BAD_TEAM_ID, get_team_info(-5, &info));
	EXPECT_EQ(B_BAD_VALUE, get_team_info(B_CURRENT_TEAM, NULL));

	struct Body {
		static int32 Run(void*) { return snooze(10000000); }
	};

	thread_id thread = spawn_thread(Body::Run, "not a team", B_NORMAL_PRIORITY, NULL);
	EXPECT_EQ(B_BAD_TEAM_ID, get_team_info(thread, &info));
	kill_thread(thread);
	wait_for_thread(thread, NULL);
}

TEST(Team, NextTeamInfoWalksEveryProcessOnce)
{
	int32 cookie = 0;
	team_info info;
	bool foundSelf = false;
	team_id previous = 0;
	int count = 0;
	while (get_next_team_info(&cookie, &info) == B_OK) {
		EXPECT_GT(info.team, previous);
		previous = info.team;
		if (info.team == getpid())
			foundSelf = true;
		count++;
	}
	EXPECT_TRUE(foundSelf);
	EXPECT_GE(count, 1);
	EXPECT_EQ(B_BAD_VALUE, get_next_team_info(&cookie, &info));
}
