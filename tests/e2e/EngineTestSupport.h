// Shared pieces of the engine tests: a package built by PackageBuilder from a manifest of
// the test tree, a sandboxed home with a destination folder, an alert policy that records
// every question and answers it as the test says, and a looper that receives the run's
// status and completion messages.
#ifndef ENGINE_TEST_SUPPORT_H
#define ENGINE_TEST_SUPPORT_H

#include "Diagnostics.h"
#include "InstallConfig.h"
#include "InstallerWriter.h"
#include "LibAlert.h"
#include "ManifestReader.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"
#include "TempDir.h"

#include "../Utilities/FileTestHelpers.h"

#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <Node.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace engine_test {

namespace fs = std::filesystem;

inline std::string
read_text(const fs::path& path)
{
	std::ifstream stream(path, std::ios::binary);
	std::ostringstream text;
	text << stream.rdbuf();
	return text.str();
}

inline void
write_text(const fs::path& path, const std::string& text)
{
	fs::create_directories(path.parent_path());
	std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline bool
exists_entry(const fs::path& path)
{
	struct stat status;
	return lstat(path.c_str(), &status) == 0;
}

// The bytes of the entry's InstallBy attribute (links not followed), or "(none)".
inline std::string
install_tag(const fs::path& path)
{
	BNode node(path.c_str());
	attr_info info;
	if (node.InitCheck() != B_OK || node.GetAttrInfo("InstallBy", &info) != B_OK)
		return "(none)";
	std::string value((size_t)info.size, '\0');
	if (node.ReadAttr("InstallBy", B_STRING_TYPE, 0, value.data(), value.size())
		!= (ssize_t)value.size()) {
		return "(unreadable)";
	}
	return value;
}

// The manifests and payloads of the test tree.
inline fs::path
data_folder(const std::string& name)
{
	return fs::path(BEINSTALLER_E2E_DATA_DIR) / name;
}

// Builds tests/e2e/data/<name>/<name>.toml into output, with a small system program as
// the base installer and, unless another is named, as the deinstaller (the engine only needs
// their resources).
inline bool
build_package(const std::string& name, const std::string& output, std::string* problems,
	const std::string& deinstaller = "/bin/false")
{
	Diagnostics diagnostics;
	Manifest manifest;
	ManifestReader reader(diagnostics);
	bool ok = reader.Read((data_folder(name) / (name + ".toml")).string(), manifest);
	if (ok) {
		BuildOptions options;
		options.output = output;
		options.base = "/bin/true";
		options.deinstaller = deinstaller;
		options.jobs = 2;
		ok = WriteInstaller(manifest, options, diagnostics);
	}
	if (!ok && problems != nullptr) {
		for (const Diagnostics::Entry& entry : diagnostics.Entries())
			*problems += Diagnostics::Format(entry) + "\n";
	}
	return ok;
}

// Receives the run's messages.
class Recorder : public BLooper {
public:
	Recorder() :
		BLooper("engine test recorder")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> locker(fLock);
		fMessages.push_back(*message);
		fChanged.notify_all();
	}

	std::vector<std::string> StatusTexts()
	{
		std::lock_guard<std::mutex> locker(fLock);
		std::vector<std::string> texts;
		for (const BMessage& message : fMessages) {
			const char* text = nullptr;
			if (message.what == kInstallStatusMessage
				&& message.FindString(kInstallStatusField, &text) == B_OK) {
				texts.push_back(text);
			}
		}
		return texts;
	}

	// Waits for the completion message; its status, or -1000 when none came.
	int32 WaitForCompletion(std::chrono::milliseconds timeout = std::chrono::seconds(30))
	{
		std::unique_lock<std::mutex> locker(fLock);
		int32 status = -1000;
		fChanged.wait_for(locker, timeout, [&] {
			for (const BMessage& message : fMessages) {
				if (message.what == kLibThreadCompleted) {
					message.FindInt32("status", &status);
					return true;
				}
			}
			return false;
		});
		return status;
	}

	void Clear()
	{
		std::lock_guard<std::mutex> locker(fLock);
		fMessages.clear();
	}

private:
	std::mutex fLock;
	std::condition_variable fChanged;
	std::vector<BMessage> fMessages;
};

// A question the run asked, as the policy saw it.
struct Asked {
	std::string text;
	std::vector<std::string> buttons;
	alert_type type;
	bool isReplace;
	std::string existing;
	std::string incoming;
	bool offersApplyToAll;
};

typedef std::function<LibAlertAnswer(const Asked&)> Answerer;

class EngineTest : public testing::Test {
protected:
	void SetUp() override
	{
		fHome = fSandbox.Home();
		fPackage = (fDir.Path() / "Sample-Installer").string();
		std::string problems;
		ASSERT_TRUE(build_package(PackageName(), fPackage, &problems, DeinstallerProgram()))
			<< problems;
		ASSERT_EQ(ReadPackageConfiguration(fPackage.c_str(), fConfig), B_OK);
		fConfig.SetPackagePath(fPackage.c_str());
		fDestination = fHome / "Destination";
		fs::create_directories(fDestination);
		SetDestination(fDestination);

		fRecorder = new Recorder;
		fRecorder->Run();
		LibSetAlertPolicy([this](const LibAlertQuestion& question) {
			Asked asked { question.text, {}, question.type, question.isReplace,
				question.existingPath != nullptr ? question.existingPath : "",
				question.incomingPath != nullptr ? question.incomingPath : "",
				question.offersApplyToAll };
			for (int32 i = 0; i < question.buttonCount; i++)
				asked.buttons.push_back(question.buttons[i] != nullptr ? question.buttons[i] : "");
			{
				std::lock_guard<std::mutex> locker(fAskedLock);
				fAsked.push_back(asked);
			}
			// Answered outside the lock: an answerer may take its time.
			return fAnswerer ? fAnswerer(asked) : LibAlertAnswer();
		});
	}

	void TearDown() override
	{
		LibSetAlertPolicy(LibAlertPolicy());
		if (fRecorder->Lock())
			fRecorder->Quit();
	}

	virtual std::string PackageName() const { return "sample"; }

	// The program the package carries as its deinstaller.
	virtual std::string DeinstallerProgram() const { return "/bin/false"; }

	void SetDestination(const fs::path& folder)
	{
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(folder.c_str(), &ref), B_OK);
		fConfig.SetDestination(ref);
	}

	void Select(std::initializer_list<const char*> leaves)
	{
		for (const char* leaf : leaves)
			fConfig.MarkInstallFile(leaf, true);
	}

	void SelectAll() { Select({ "sample-tool", "Sample Docs", "readme.txt", "setup.sh" }); }

	// Runs the engine on its own thread as the window does, and returns the status of the
	// completion message.
	int32 Install()
	{
		fRecorder->Clear();
		{
			std::lock_guard<std::mutex> locker(fAskedLock);
			fAsked.clear();
		}
		fConfig.Go("install", new BMessenger(fRecorder), 10, true);
		return fRecorder->WaitForCompletion();
	}

	std::vector<Asked> AskedQuestions()
	{
		std::lock_guard<std::mutex> locker(fAskedLock);
		return fAsked;
	}

	// The texts of the questions asked, in order.
	std::vector<std::string> AskedTexts()
	{
		std::vector<std::string> texts;
		for (const Asked& asked : AskedQuestions())
			texts.push_back(asked.text);
		return texts;
	}

	// Sets an install_meta field of the item with that leaf in the configuration.
	void SetMeta(const char* leaf, const char* field, const char* value)
	{
		BMessage instructions;
		fConfig.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
			const char* fileName = nullptr;
			item.FindString(Package::kFileName, &fileName);
			if (fs::path(fileName).filename() != leaf)
				continue;
			BMessage meta;
			item.FindMessage(Package::kInstallMeta, &meta);
			if (meta.HasString(field))
				meta.ReplaceString(field, value);
			else
				meta.AddString(field, value);
			item.ReplaceMessage(Package::kInstallMeta, &meta);
			instructions.ReplaceMessage(Package::kInstallFile, i, &item);
		}
		fConfig.ReplaceMessage(Package::kInstallInstructions, &instructions);
	}

	void SetBool(const char* field, bool value)
	{
		if (fConfig.HasBool(field))
			fConfig.ReplaceBool(field, value);
		else
			fConfig.AddBool(field, value);
	}

	// Runs body in a child process that has a tmpfs of its own (mount options) mounted at a
	// folder of the test's: a second volume. The child installs with Action() on its only
	// thread (a forked process has no looper to send to). A failure of a check in body
	// fails the test; where namespaces are not permitted the test is skipped.
	void OnSecondVolume(const std::string& options,
		const std::function<void(const fs::path& mount, file_test::ChildReport&)>& body)
	{
		fs::path mount = fDir.Path() / "volume";
		fs::create_directories(mount);
		file_test::ChildOutcome outcome = file_test::run_with_second_volume(
			mount.string(), options, [&](file_test::ChildReport& report) { body(mount, report); });
		if (outcome.skipped)
			GTEST_SKIP() << outcome.text;
		EXPECT_TRUE(outcome.passed) << outcome.text;
	}

	// Clears what the policy recorded.
	void ForgetQuestions()
	{
		std::lock_guard<std::mutex> locker(fAskedLock);
		fAsked.clear();
	}

	fs::path InstallationFolder() const { return fDestination / "Sample"; }

	std::string Log() const { return read_text(InstallationFolder() / "Log"); }

	std::string Tag() const { return "Sample;2.1;May 4, 2026;Sample Co.;help@sample.example;"; }

	ScopedSandbox fSandbox;
	ScopedTempDir fDir;
	fs::path fHome;
	fs::path fDestination;
	std::string fPackage;
	InstallConfig fConfig;
	Recorder* fRecorder = nullptr;
	Answerer fAnswerer;
	std::mutex fAskedLock;
	std::vector<Asked> fAsked;
};

// Answers by button label: the first label of labels that the question offers, else 0.
inline Answerer
answer_with(std::vector<std::string> labels, bool applyToAll = false)
{
	return [labels, applyToAll](const Asked& asked) {
		LibAlertAnswer answer;
		for (const std::string& label : labels) {
			for (size_t i = 0; i < asked.buttons.size(); i++) {
				if (asked.buttons[i] == label) {
					answer.button = (int32)i;
					answer.applyToAll = applyToAll && asked.isReplace;
					return answer;
				}
			}
		}
		return answer;
	};
}

} // namespace engine_test

#endif // ENGINE_TEST_SUPPORT_H
