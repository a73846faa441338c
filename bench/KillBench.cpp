// Stopping jobs at random moments, hundreds of times: walking, copying and removing,
// packing, expanding and extracting workers, workers that only send messages, and workers
// that show alerts, each killed by its owner as the Stop buttons do. Prints, per kind of
// job, how long the kills took and every fault seen: a message handled after the Stop, a
// descriptor left open, a half-made file or work folder left behind, an alert that stayed,
// a GUI thread that stopped working. A kill that aborts the process ends this program; a
// kill that hangs is reported after ten seconds.
//
// Usage: KillBench [trials per kind] [seed]   (300 and the time by default)
#include "AlertKillScenario.h"
#include "KillScenarios.h"

#include <Application.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

// The kills fall anywhere in the first rounds of the work.
const bigtime_t kLongestDelay = 60000;
const bigtime_t kHang = 10000000;

struct Figures {
	std::vector<bigtime_t> stopTimes;
	int faults = 0;

	void Print(const char* name) const
	{
		std::vector<bigtime_t> sorted = stopTimes;
		std::sort(sorted.begin(), sorted.end());
		auto at = [&](double part) {
			return sorted.empty()
				? 0.0
				: sorted[std::min(sorted.size() - 1, (size_t)(part * sorted.size()))] / 1000.0;
		};
		printf("%-16s %6zu trials   stop: median %7.2f ms, 99%% %7.2f ms, max %7.2f ms   "
			   "faults: %d\n",
			name, sorted.size(), at(0.5), at(0.99), sorted.empty() ? 0.0 : sorted.back() / 1000.0,
			faults);
	}
};

void
report(const char* name, int trial, const std::string& what)
{
	printf("  FAULT %s, trial %d: %s\n", name, trial, what.c_str());
}

} // namespace

int
main(int argc, char** argv)
{
	const int trials = argc > 1 ? atoi(argv[1]) : 300;
	const unsigned seed = argc > 2 ? (unsigned)strtoul(argv[2], NULL, 10) : (unsigned)time(NULL);
	setenv("QT_QPA_PLATFORM", "offscreen", 0);

	// A folder of this run's own in the shared temporary folder.
	const char* temporary = getenv("TMPDIR");
	std::string pattern = std::string(temporary != NULL ? temporary : "/tmp") + "/killbench-XXXXXX";
	std::vector<char> folder(pattern.begin(), pattern.end());
	folder.push_back('\0');
	if (mkdtemp(folder.data()) == NULL) {
		perror("KillBench: mkdtemp");
		return 1;
	}
	const std::string root = folder.data();
	// Everything the jobs and Qt make goes under it: the trials look for what a killed job
	// left in the temporary folder, which other programs must not fill meanwhile.
	std::filesystem::create_directories(root + "/tmp");
	std::filesystem::create_directories(root + "/home");
	std::filesystem::create_directories(root + "/material");
	setenv("TMPDIR", (root + "/tmp").c_str(), 1);
	setenv("HOME", (root + "/home").c_str(), 1);
	unsetenv("XDG_CONFIG_HOME");
	unsetenv("XDG_DATA_HOME");
	unsetenv("XDG_CACHE_HOME");

	BApplication application("application/x-vnd.killbench");
	printf("KillBench: %d trials per kind, seed %u\n", trials, seed);
	std::mt19937 random(seed);
	std::uniform_int_distribution<bigtime_t> delay(0, kLongestDelay);
	int faults = 0;

	{
		kill_stress::Material material(root + "/material");
		if (!material.IsReady()) {
			fprintf(stderr, "KillBench: cannot make the material in %s\n", root.c_str());
			return 1;
		}
		kill_stress::Owner* owner = new kill_stress::Owner;
		owner->Run();
		for (int scenario = 0; scenario < kill_stress::kScenarioCount; scenario++) {
			const char* name = kill_stress::scenario_name(scenario);
			Figures figures;
			for (int trial = 0; trial < trials; trial++) {
				kill_stress::Outcome outcome = kill_stress::run_trial(
					(kill_stress::Scenario)scenario, material, owner, delay(random));
				figures.stopTimes.push_back(outcome.stopTime);
				std::string fault;
				if (outcome.stopTime < 0 || outcome.stopTime > kHang)
					fault = "the kill took " + std::to_string(outcome.stopTime) + " us";
				else if (outcome.lateMessages > 0)
					fault = std::to_string(outcome.lateMessages) + " messages after the Stop";
				else if (outcome.leakedDescriptors > 0)
					fault = std::to_string(outcome.leakedDescriptors) + " descriptors left open";
				else if (!outcome.leftover.empty())
					fault = "left behind: " + outcome.leftover;
				if (!fault.empty()) {
					figures.faults++;
					report(name, trial, fault);
				}
			}
			figures.Print(name);
			faults += figures.faults;
		}
		if (owner->Lock())
			owner->Quit();
	}

	kill_stress::PingWindow* window = new kill_stress::PingWindow;
	window->Show();
	Figures alerts;
	for (int trial = 0; trial < trials; trial++) {
		kill_stress::AlertOutcome outcome = kill_stress::run_alert_trial(window, delay(random));
		alerts.stopTimes.push_back(outcome.stopTime);
		std::string fault;
		if (outcome.stopTime > kHang)
			fault = "the kill took " + std::to_string(outcome.stopTime) + " us";
		else if (!outcome.alertsGone)
			fault = "an alert stayed";
		else if (!outcome.responsive)
			fault = "the GUI thread stopped dispatching";
		if (!fault.empty()) {
			alerts.faults++;
			report("alerts", trial, fault);
		}
	}
	alerts.Print("alerts");
	faults += alerts.faults;
	if (window->Lock())
		window->Quit();

	LibUnlink(root.c_str());
	printf("KillBench: %s\n", faults == 0 ? "no faults" : "FAULTS");
	return faults == 0 ? 0 : 1;
}
