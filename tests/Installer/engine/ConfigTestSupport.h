// Shared pieces of the engine's unit tests: configurations made by hand, and an alert policy
// that records every question and answers it with the button the test names.
#ifndef CONFIG_TEST_SUPPORT_H
#define CONFIG_TEST_SUPPORT_H

#include "InstallConfig.h"
#include "LibAlert.h"
#include "PackageDefs.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace config_test {

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

// An install_file record.
inline BMessage
make_item(const char* fileName, int32 size, const char* groups = nullptr, bool* selected = nullptr)
{
	BMessage item;
	if (fileName != nullptr)
		item.AddString(Package::kFileName, fileName);
	item.AddInt32(Package::kFileSize, size);
	item.AddInt32(Package::kFileSize, size);
	if (groups != nullptr)
		item.AddString(Package::kFileGroups, groups);
	if (selected != nullptr)
		item.AddBool(Package::kInstallToSystem, *selected);
	return item;
}

inline void
set_items(InstallConfig& config, const std::vector<BMessage>& items)
{
	BMessage instructions;
	for (const BMessage& item : items)
		instructions.AddMessage(Package::kInstallFile, &item);
	config.RemoveName(Package::kInstallInstructions);
	config.AddMessage(Package::kInstallInstructions, &instructions);
}

// Records the questions and answers each with the first of the labels it offers (else 0).
class AlertRecorder {
public:
	AlertRecorder()
	{
		LibSetAlertPolicy([this](const LibAlertQuestion& question) {
			std::lock_guard<std::mutex> locker(fLock);
			std::vector<std::string> buttons;
			for (int32 i = 0; i < question.buttonCount; i++)
				buttons.push_back(question.buttons[i] != nullptr ? question.buttons[i] : "");
			fTexts.push_back(question.text);
			fButtons.push_back(buttons);
			LibAlertAnswer answer;
			for (const std::string& label : fAnswers) {
				for (size_t i = 0; i < buttons.size(); i++) {
					if (buttons[i] == label) {
						answer.button = (int32)i;
						answer.applyToAll = fApplyToAll && question.isReplace;
						return answer;
					}
				}
			}
			return answer;
		});
	}

	~AlertRecorder() { LibSetAlertPolicy(LibAlertPolicy()); }

	AlertRecorder(const AlertRecorder&) = delete;
	AlertRecorder& operator=(const AlertRecorder&) = delete;

	void Answer(std::vector<std::string> labels, bool applyToAll = false)
	{
		std::lock_guard<std::mutex> locker(fLock);
		fAnswers = labels;
		fApplyToAll = applyToAll;
	}

	std::vector<std::string> Texts()
	{
		std::lock_guard<std::mutex> locker(fLock);
		return fTexts;
	}

	std::vector<std::vector<std::string>> Buttons()
	{
		std::lock_guard<std::mutex> locker(fLock);
		return fButtons;
	}

	void Clear()
	{
		std::lock_guard<std::mutex> locker(fLock);
		fTexts.clear();
		fButtons.clear();
	}

private:
	std::mutex fLock;
	std::vector<std::string> fAnswers;
	bool fApplyToAll = false;
	std::vector<std::string> fTexts;
	std::vector<std::vector<std::string>> fButtons;
};

} // namespace config_test

#endif // CONFIG_TEST_SUPPORT_H
