// Jobs stopped the way a Stop button stops them: a LibThread job walks, copies and removes,
// packs, expands or extracts a tree, or only sends messages, and its owner (a looper, as a
// window is) kills it from its own thread at a random moment. A trial tells how long the
// kill took, whether any of the job's messages was handled after the Stop, and whether the
// job left a descriptor open or a half-made file behind. A kill that aborted the process
// ends the program that runs the trials. Used by bench/KillBench (hundreds of trials) and by
// the LibThread tests (a few).
#ifndef BENCH_KILL_SCENARIOS_H
#define BENCH_KILL_SCENARIOS_H

#include "LibAppResource.h"
#include "LibEntry.h"
#include "LibFile.h"
#include "LibThread.h"

#include <FindDirectory.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <Node.h>
#include <Path.h>
#include <TypeConstants.h>

#include <atomic>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kill_stress {

enum Scenario { kWalk, kCopyRemove, kPack, kExpand, kExtractEntry, kSend, kScenarioCount };

inline const char*
scenario_name(int scenario)
{
	static const char* const kNames[] = { "walk", "copy and remove", "pack", "expand",
		"extract entry", "send" };
	return scenario >= 0 && scenario < kScenarioCount ? kNames[scenario] : "?";
}

const int32 kResourceId = 2100;
const uint32 kProgress = 'prog';
const uint32 kStop = 'stop';
const uint32 kSync = 'sync';

// What the jobs work on: a tree of folders and files with attributes, an archive of it, an
// executable whose resources hold the archive, and a folder for the jobs' output.
class Material {
public:
	// Makes everything inside folder, which must exist and be the caller's own.
	explicit Material(
		const std::string& folder, int folders = 6, int files = 8, size_t fileSize = 96 * 1024) :
		fFolder(folder),
		fTree(folder + "/tree"),
		fArchive(folder + "/tree.zip"),
		fContainer(folder + "/container"),
		fWork(folder + "/work")
	{
		std::vector<char> data(fileSize);
		for (size_t i = 0; i < data.size(); i++)
			data[i] = (char)((i * 2654435761u) >> 13);
		for (int f = 0; f < folders; f++) {
			std::string sub = fTree + "/folder " + std::to_string(f) + "/inner";
			std::filesystem::create_directories(sub);
			for (int i = 0; i < files; i++) {
				std::string path = (i % 2 == 0 ? sub : fTree + "/folder " + std::to_string(f))
					+ "/file " + std::to_string(i);
				std::ofstream(path, std::ios::binary)
					.write(data.data(), (std::streamsize)data.size());
				BNode node(path.c_str());
				node.WriteAttr("InstallBy", B_STRING_TYPE, 0, "stress;", 7);
			}
		}
		fOk = LibZip(fArchive.c_str(), BPath(fTree.c_str()), 1);
		// An executable carries the resources, as an installer does.
		std::error_code error;
		std::filesystem::copy_file("/bin/true", fContainer, error);
		LibAppResource resources(fContainer.c_str(), B_READ_WRITE);
		fOk = fOk && resources.AddEntry(fTree.c_str(), kResourceId, "tree", 1);
		std::filesystem::create_directories(fWork);
	}

	bool IsReady() const { return fOk; }

	const std::string& Tree() const { return fTree; }

	const std::string& Archive() const { return fArchive; }

	const std::string& Container() const { return fContainer; }

	const std::string& Work() const { return fWork; }

	// Empties the work folder for the next trial.
	void ClearWork() const
	{
		LibUnlink(fWork.c_str());
		std::filesystem::create_directories(fWork);
	}

private:
	std::string fFolder;
	std::string fTree;
	std::string fArchive;
	std::string fContainer;
	std::string fWork;
	bool fOk = false;
};

// The job: the scenario's work over and over, with a progress message after each round
// (the send scenario sends nothing else), until it is killed.
class Job : public LibThread {
public:
	Job(Scenario scenario, const Material& material) :
		fScenario(scenario),
		fMaterial(material)
	{
	}

	// The work reads this object's members.
	~Job() override { Kill(); }

	status_t Action() override
	{
		const std::string work = fMaterial.Work();
		const std::string copy = work + "/copy";
		const std::string archive = work + "/archive.zip";
		const std::string expanded = work + "/tree";
		const std::string extracted = work + "/extracted";
		if (fScenario == kExpand)
			link(fMaterial.Archive().c_str(), archive.c_str());
		while (true) {
			switch (fScenario) {
				case kWalk:
					LibEntrySize(fMaterial.Tree().c_str(), true);
					break;
				case kCopyRemove:
					LibCopy(fMaterial.Tree().c_str(), copy.c_str());
					LibUnlink(copy.c_str());
					break;
				case kPack:
					LibZip(archive.c_str(), BPath(fMaterial.Tree().c_str()), 9);
					LibUnlink(archive.c_str());
					break;
				case kExpand:
					LibUnzip(archive.c_str());
					LibUnlink(expanded.c_str());
					break;
				case kExtractEntry: {
					LibAppResource resources(fMaterial.Container().c_str(), B_READ_ONLY);
					resources.ExtractEntry(kResourceId, extracted.c_str(), true);
					LibUnlink(extracted.c_str());
					break;
				}
				default:
					break;
			}
			BMessage progress(kProgress);
			progress.AddInt32("scenario", fScenario);
			fMessenger->SendMessage(&progress, (BHandler*)NULL, B_INFINITE_TIMEOUT);
		}
		return B_OK;
	}

private:
	Scenario fScenario;
	const Material& fMaterial;
};

// The job's owner, as a window is: it hears the progress and stops the job from its own
// thread when asked ('stop' with the job as "job"), answering with the kill's duration.
class Owner : public BLooper {
public:
	Owner() :
		BLooper("owner")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kProgress:
				fProgress++;
				if (fStopped)
					fLate++;
				break;
			case kStop: {
				LibThread* job = NULL;
				message->FindPointer("job", (void**)&job);
				const bigtime_t start = system_time();
				job->Kill();
				fStopped = true;
				BMessage reply(B_REPLY);
				reply.AddInt64("took", system_time() - start);
				message->SendReply(&reply);
				break;
			}
			case kSync:
				message->SendReply(B_REPLY);
				break;
			default:
				BLooper::MessageReceived(message);
		}
	}

	void Reset()
	{
		fProgress = 0;
		fLate = 0;
		fStopped = false;
	}

	std::atomic<int32> fProgress { 0 };
	std::atomic<int32> fLate { 0 };

private:
	std::atomic<bool> fStopped { false };
};

struct Outcome {
	bigtime_t stopTime = 0;
	int32 lateMessages = 0;
	int leakedDescriptors = 0;
	// A half-made file or work folder the job left behind, or "".
	std::string leftover;
};

inline int
count_descriptors()
{
	int count = 0;
	if (DIR* folder = opendir("/proc/self/fd")) {
		while (readdir(folder) != NULL)
			count++;
		closedir(folder);
	}
	return count;
}

inline std::set<std::string>
temporary_entries()
{
	std::set<std::string> names;
	BPath temporary;
	if (find_directory(B_COMMON_TEMP_DIRECTORY, &temporary) != B_OK)
		return names;
	std::error_code error;
	for (const auto& entry : std::filesystem::directory_iterator(temporary.Path(), error))
		names.insert(entry.path().filename().string());
	return names;
}

// A file of the copy or expansion that is not whole, a temporary file of the copy or the
// packing, or "".
inline std::string
find_leftover(const Material& material)
{
	std::error_code error;
	for (auto walk = std::filesystem::recursive_directory_iterator(material.Work(), error);
		 walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
		if (error)
			break;
		const std::string path = walk->path().string();
		const std::string leaf = walk->path().filename().string();
		if (leaf.rfind(".LibCopy-", 0) == 0 || leaf.rfind("archive.zip.", 0) == 0)
			return path;
		if (!walk->is_regular_file() || walk->is_symlink())
			continue;
		// The expanded and copied files have the tree's names under their own top folder.
		std::string relative = path.substr(material.Work().size() + 1);
		const size_t slash = relative.find('/');
		if (slash == std::string::npos)
			continue;
		const std::string original = material.Tree() + relative.substr(slash);
		std::error_code sizeError;
		if (std::filesystem::exists(original, sizeError)
			&& std::filesystem::file_size(original, sizeError) != walk->file_size(sizeError)) {
			return path;
		}
	}
	return "";
}

// One trial: the job runs for killAfter microseconds, then its owner stops it.
inline Outcome
run_trial(Scenario scenario, const Material& material, Owner* owner, bigtime_t killAfter)
{
	Outcome outcome;
	material.ClearWork();
	owner->Reset();
	const int descriptors = count_descriptors();
	const std::set<std::string> temporary = temporary_entries();

	BMessenger target(owner);
	Job* job = new Job(scenario, material);
	job->Go("stress job", new BMessenger(owner), B_NORMAL_PRIORITY, false);
	snooze(killAfter);
	BMessage stop(kStop);
	stop.AddPointer("job", job);
	BMessage reply;
	target.SendMessage(&stop, &reply);
	outcome.stopTime = reply.GetInt64("took", -1);
	delete job;
	// Everything queued before the sync has been handled once it is answered.
	target.SendMessage(kSync, &reply);
	outcome.lateMessages = owner->fLate.load();

	outcome.leakedDescriptors = count_descriptors() - descriptors;
	outcome.leftover = find_leftover(material);
	if (outcome.leftover.empty()) {
		for (const std::string& name : temporary_entries()) {
			if (temporary.count(name) == 0) {
				outcome.leftover = "temporary folder: " + name;
				break;
			}
		}
	}
	return outcome;
}

} // namespace kill_stress

#endif // BENCH_KILL_SCENARIOS_H
