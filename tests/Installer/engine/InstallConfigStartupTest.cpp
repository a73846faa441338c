// The start-up section (its lines, and a real run of it that starts a folder's entries by
// priority), deinstall tags, and the status texts and log the owner sees.
#include "ConfigTestSupport.h"

#include <Looper.h>
#include <Messenger.h>
#include <Node.h>
#include <TypeConstants.h>

#include <chrono>
#include <condition_variable>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

using namespace config_test;

namespace {

std::vector<std::string>
split_lines(const std::string& text)
{
	std::vector<std::string> lines;
	size_t start = 0;
	while (true) {
		size_t end = text.find('\n', start);
		lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
		if (end == std::string::npos)
			return lines;
		start = end + 1;
	}
}

// Runs /bin/sh on a script file in folder; returns its exit status.
int
run_script(const fs::path& script, const fs::path& folder)
{
	pid_t child = fork();
	if (child == 0) {
		if (chdir(folder.c_str()) != 0)
			_exit(126);
		execl("/bin/sh", "sh", script.c_str(), (char*)nullptr);
		_exit(127);
	}
	int status = -1;
	waitpid(child, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstallConfigStartup, SectionHasItsFiftyThreeLines)
{
	LibString text;
	InstallConfig::BuildStartupString("/home/user/.config/boot/Sample StartUp", text);
	std::string section = static_cast<const char*>(text);
	ASSERT_FALSE(section.empty());
	EXPECT_NE(section.back(), '\n');
	std::vector<std::string> lines = split_lines(section);
	ASSERT_EQ(lines.size(), 53u) << section;
	EXPECT_EQ(lines[0], "#");
	EXPECT_EQ(lines[1], "# This section was placed by Brimlow.");
	EXPECT_EQ(lines[3], "# please contact support@brimlow.example.");
	EXPECT_EQ(lines[5], "# These commands gathers items in the start-up file at boot time");
	EXPECT_EQ(lines[14], "# Any alterations done in this section may be lost");
	EXPECT_EQ(lines[17], "startup_folder='/home/user/.config/boot/Sample StartUp'");
	EXPECT_EQ(lines[19], "then");
	for (size_t i = 20; i <= 50; i++)
		EXPECT_EQ(lines[i][0], '\t') << "line " << i + 1;
	EXPECT_EQ(lines[43], "\t/bin/sleep 1");
	EXPECT_EQ(lines[51], "fi");
	EXPECT_EQ(lines[52], "#");
	// Nothing in it uses a fixed name in the shared temporary folder.
	EXPECT_EQ(section.find("/tmp/"), std::string::npos);
}

TEST(InstallConfigStartup, SectionStartsEntriesByPriorityThenTheOthersAndOnlyThem)
{
	ScopedSandbox sandbox;
	ScopedTempDir dir;
	fs::path folder = dir.Path() / "Start Up's $folder";
	fs::path marks = dir.Path() / "marks";
	fs::path work = dir.Path() / "work";
	fs::create_directories(marks);
	fs::create_directories(work);

	// Each entry writes its process id: ids grow with the order the entries were started.
	struct Entry {
		const char* name;
		int32 priority;
	} const entries[] = { { "second", 20 }, { "first", -3 }, { "it's \"$(touch HACKED)\"", 30 },
		{ "plain", -1 }, { "$(touch HACKED) `touch HACKED`", -1 } };

	int index = 0;
	for (const Entry& entry : entries) {
		fs::path path = folder / entry.name;
		std::string mark = "mark" + std::to_string(index++);
		write_text(path, "#!/bin/sh\necho $$ > '" + (marks / mark).string() + "'\n");
		chmod(path.c_str(), 0755);
		if (entry.priority >= -3 && entry.priority != -1) {
			BNode node(path.c_str());
			ASSERT_EQ(node.WriteAttr("run_priority", B_INT32_TYPE, 0, &entry.priority, 4), 4);
		}
	}
	// A priority written as text by another program counts too.
	fs::path texted = folder / "texted";
	write_text(texted, "#!/bin/sh\necho $$ > '" + (marks / "mark5").string() + "'\n");
	chmod(texted.c_str(), 0755);
	ASSERT_EQ(setxattr(texted.c_str(), "user.run_priority", "25", 2, 0), 0);

	LibString text;
	InstallConfig::BuildStartupString(folder.c_str(), text);
	write_text(dir.Path() / "UserBootscript", static_cast<const char*>(text));
	ASSERT_EQ(run_script(dir.Path() / "UserBootscript", work), 0);

	auto pid_of = [&](int mark) {
		std::string text;
		for (int i = 0; i < 100; i++) {
			text = read_text(marks / ("mark" + std::to_string(mark)));
			if (!text.empty())
				break;
			std::this_thread::sleep_for(std::chrono::milliseconds(50));
		}
		return text.empty() ? -1L : std::stol(text);
	};
	long first = pid_of(1);
	long second = pid_of(0);
	long texted25 = pid_of(5);
	long quoted = pid_of(2);
	long plain = pid_of(3);
	long odd = pid_of(4);
	for (long pid : { first, second, texted25, quoted, plain, odd })
		ASSERT_GT(pid, 0);
	EXPECT_LT(first, second);
	EXPECT_LT(second, texted25);
	EXPECT_LT(texted25, quoted);
	EXPECT_LT(quoted, plain);
	EXPECT_LT(quoted, odd);
	// Names were never run as shell text, and the lists went with their folder.
	EXPECT_FALSE(fs::exists(work / "HACKED"));
	for (const fs::directory_entry& entry : fs::directory_iterator(fs::temp_directory_path()))
		EXPECT_NE(entry.path().filename().string().rfind("tmp.", 0), 0u) << entry.path();
}

TEST(InstallConfigTags, EveryEntryBelowIsMarkedAndLinksAreNotFollowed)
{
	ScopedTempDir dir;
	fs::path item = dir.Path() / "Item";
	write_text(item / "a.txt", "a");
	write_text(item / "sub/deeper/b.txt", "b");
	write_text(dir.Path() / "outside.txt", "outside");
	fs::create_symlink(dir.Path() / "outside.txt", item / "sub/link");

	InstallConfig config;
	const char* tag = "Example;1.0;Jan 1, 2000;Example Co.;help at example;";
	EXPECT_TRUE(config.AddDeinstallTag(item.c_str(), tag));
	for (const char* relative :
		{ "", "a.txt", "sub", "sub/deeper", "sub/deeper/b.txt", "sub/link" }) {
		BNode node((item / relative).c_str());
		attr_info info;
		ASSERT_EQ(node.GetAttrInfo("InstallBy", &info), B_OK) << relative;
		EXPECT_EQ(info.type, (type_code)B_STRING_TYPE);
		EXPECT_EQ(info.size, (off_t)strlen(tag));
	}
	char value[300];
	EXPECT_EQ(getxattr((item / "sub/deeper/b.txt").c_str(), "user.InstallBy", value, sizeof(value)),
		(ssize_t)strlen(tag));
	EXPECT_LT(
		getxattr((dir.Path() / "outside.txt").c_str(), "user.InstallBy", value, sizeof(value)), 0);
	EXPECT_FALSE(config.AddDeinstallTag((dir.Path() / "missing").c_str(), tag));
}

// Receives status texts.
class StatusLooper : public BLooper {
public:
	void MessageReceived(BMessage* message) override
	{
		const char* text = nullptr;
		if (message->what == kInstallStatusMessage
			&& message->FindString(kInstallStatusField, &text) == B_OK) {
			std::lock_guard<std::mutex> locker(fLock);
			fTexts.push_back(text);
			fChanged.notify_all();
		}
	}

	std::string Next()
	{
		std::unique_lock<std::mutex> locker(fLock);
		fChanged.wait_for(locker, std::chrono::seconds(5), [&] { return !fTexts.empty(); });
		if (fTexts.empty())
			return "(none)";
		std::string text = fTexts.front();
		fTexts.erase(fTexts.begin());
		return text;
	}

private:
	std::mutex fLock;
	std::condition_variable fChanged;
	std::vector<std::string> fTexts;
};

// Sends one status text from its job thread.
class StatusJob : public InstallConfig {
public:
	std::string text;

	status_t Action() override
	{
		UpdateStatus("Installing %d of %d (%s)", 1, 2, text.c_str());
		return B_OK;
	}
};

TEST(InstallConfigStatus, StatusTextsStayWithinTheirBufferWholeCharactersOnly)
{
	StatusLooper* looper = new StatusLooper;
	looper->Run();

	struct Row {
		std::string leaf;
		std::string expected;
	} const rows[] = {
		{ "tool", "Installing 1 of 2 (tool)" },
		// 19 bytes of prefix, then 80 more fill the 99.
		{ std::string(100, 'x'), "Installing 1 of 2 (" + std::string(80, 'x') },
		// A two-byte character would cross the limit: it goes whole.
		{ std::string(79, 'x') + "\xc3\xa9" + "tail",
			"Installing 1 of 2 (" + std::string(79, 'x') },
	};

	for (const Row& row : rows) {
		StatusJob job;
		job.text = row.leaf;
		job.Go("install", new BMessenger(looper), 10, true);
		std::string text = looper->Next();
		EXPECT_EQ(text, row.expected);
		EXPECT_LE(text.size(), 99u);
	}
	if (looper->Lock())
		looper->Quit();
}

TEST(InstallConfigLog, LinesReachTheFileAtOnceAndOnlyWhenLoggingIsOn)
{
	ScopedTempDir dir;
	fs::path path = dir.Path() / "Log";
	InstallConfig config;
	config.OpenLog(path.c_str());
	config.Log("\t\tInstalling : %s\n", "tool");
	EXPECT_FALSE(fs::exists(path));

	config.AddBool(Package::kOptLog, true);
	config.OpenLog(path.c_str());
	config.Log("\t\tInstalling : %s\n", "tool");
	EXPECT_EQ(read_text(path), "\t\tInstalling : tool\n");
	config.CloseLog();
	config.Log("after\n");
	EXPECT_EQ(read_text(path), "\t\tInstalling : tool\n");
}

} // namespace
