// Packages for the installer's tests: manifests written on the fly around the demo's
// payload, built by PackageBuilder into a sandbox, and the recording of every alert and of
// what the window sends the application.
#ifndef INSTALLER_TEST_SUPPORT_H
#define INSTALLER_TEST_SUPPORT_H

#include "Diagnostics.h"
#include "InstallerWriter.h"
#include "LibAlert.h"
#include "ManifestReader.h"

#include <Looper.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace installer_test {

namespace fs = std::filesystem;

inline fs::path
demo_folder()
{
	return fs::path(BEINSTALLER_SOURCE_DIR) / "examples" / "demo";
}

// A manifest like the demo's, with the parts a test changes: the licence, the install
// types, and more tables (requirements, completion).
struct PackageShape {
	bool licence = true;
	bool types = true;
	std::string extra;
};

inline std::string
manifest_text(const PackageShape& shape)
{
	fs::path demo = demo_folder();
	std::string text = "[product]\nname = \"Demo\"\nversion = \"1.0\"\n"
					   "release_date = \"December 8, 2026\"\ncompany = \"Demo Works\"\n"
					   "support_email = \"support@demo.example\"\n";
	if (shape.licence)
		text += "license_file = \"" + (demo / "LICENSE.txt").string() + "\"\n";
	text += "about_image = \"" + (demo / "about.png").string() + "\"\n";
	text += "[options]\ncreated_folder = \"Demo\"\nlog = true\n";
	text += shape.extra;
	if (shape.types) {
		text += "[[install_types]]\nname = \"Full\"\ndescription = \"The script and its "
				"documents.\"\n[[install_types]]\nname = \"Minimal\"\ndescription = \"\"\n";
	}
	text += "[[items]]\npath = \"" + (demo / "payload" / "demo-hello").string()
		+ "\"\ndestination = \"User Selected\"\n";
	if (shape.types)
		text += "install_types = [\"Full\", \"Minimal\"]\n";
	text += "[[items]]\npath = \"" + (demo / "payload" / "Demo Documents").string()
		+ "\"\ndestination = \"User Selected\"\n";
	if (shape.types)
		text += "install_types = [\"Full\"]\n";
	return text;
}

// Builds the package into folder/Demo-Installer with a small system program as the base
// (the window reads only the package's resources); the path, or empty on failure.
inline std::string
build_package(const fs::path& folder, const PackageShape& shape, std::string* problems = nullptr)
{
	fs::path manifestPath = folder / "demo.toml";
	std::ofstream(manifestPath) << manifest_text(shape);
	Diagnostics diagnostics;
	Manifest manifest;
	ManifestReader reader(diagnostics);
	std::string output = (folder / "Demo-Installer").string();
	bool ok = reader.Read(manifestPath.string(), manifest);
	if (ok) {
		BuildOptions options;
		options.output = output;
		options.base = "/bin/true";
		options.deinstaller = "/bin/false";
		ok = WriteInstaller(manifest, options, diagnostics);
	}
	if (!ok && problems != nullptr) {
		for (const Diagnostics::Entry& entry : diagnostics.Entries())
			*problems += Diagnostics::Format(entry) + "\n";
	}
	return ok ? output : std::string();
}

// Records what the window sends the application.
class AppRecorder : public BLooper {
public:
	AppRecorder() :
		BLooper("installer test application")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> locker(fLock);
		fMessages.push_back(*message);
	}

	// A quit request is recorded, not obeyed: the test ends the looper.
	bool QuitRequested() override
	{
		std::lock_guard<std::mutex> locker(fLock);
		fMessages.push_back(BMessage(B_QUIT_REQUESTED));
		return false;
	}

	std::vector<BMessage> Messages(uint32 what)
	{
		std::lock_guard<std::mutex> locker(fLock);
		std::vector<BMessage> found;
		for (const BMessage& message : fMessages) {
			if (message.what == what)
				found.push_back(message);
		}
		return found;
	}

	void Clear()
	{
		std::lock_guard<std::mutex> locker(fLock);
		fMessages.clear();
	}

private:
	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

// Every alert as "text|button,button"; answered by the test's answerer (default: 0).
class AlertRecorder {
public:
	typedef std::function<int32(const LibAlertQuestion&)> Answerer;

	AlertRecorder()
	{
		LibSetAlertPolicy([this](const LibAlertQuestion& question) {
			std::string entry = question.text;
			entry += "|";
			for (int32 i = 0; i < question.buttonCount; i++)
				entry += std::string(i > 0 ? "," : "") + question.buttons[i];
			Answerer answerer;
			{
				std::lock_guard<std::mutex> locker(fLock);
				fAlerts.push_back(entry);
				answerer = fAnswerer;
			}
			LibAlertAnswer answer;
			answer.button = answerer ? answerer(question) : 0;
			return answer;
		});
	}

	~AlertRecorder() { LibSetAlertPolicy(nullptr); }

	void SetAnswerer(const Answerer& answerer)
	{
		std::lock_guard<std::mutex> locker(fLock);
		fAnswerer = answerer;
	}

	std::vector<std::string> Alerts()
	{
		std::lock_guard<std::mutex> locker(fLock);
		return fAlerts;
	}

	void Clear()
	{
		std::lock_guard<std::mutex> locker(fLock);
		fAlerts.clear();
	}

private:
	std::mutex fLock;
	std::vector<std::string> fAlerts;
	Answerer fAnswerer;
};

} // namespace installer_test

#endif // INSTALLER_TEST_SUPPORT_H
