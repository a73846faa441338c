// Flatten and unflatten throughput of BMessage: a message shaped like a package
// configuration (about sixty fields of mixed types, nested messages for the items), and a
// message carrying one 10 MB raw field, as a payload-sized value would.
#include <Message.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

// Processor time of this thread: the machine is shared, and waiting for a core is not
// the code's cost.
double
ThreadSeconds()
{
	timespec now;
	clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
	return now.tv_sec + now.tv_nsec / 1e9;
}

BMessage
MakeConfiguration()
{
	BMessage configuration;
	configuration.AddString("install_folder_name", "Example Product");
	BMessage groups;
	for (const char* name : { "Full", "Minimal", "Developer" }) {
		groups.AddString("group_name", name);
		groups.AddString("group_description", "A description shown as a tip for the type");
	}
	configuration.AddMessage("groups", &groups);
	configuration.AddString("app_name", "Example Product");
	configuration.AddString("version", "1.2.3");
	configuration.AddString("release_date", "2024-05-01");
	configuration.AddString("company", "Example Company");
	configuration.AddString("support_email", "support@example.com");
	configuration.AddString("audio_file", "None");
	configuration.AddString("license", std::string(2000, 'L').c_str());

	BMessage instructions;
	for (int32 item = 0; item < 8; item++) {
		BMessage file;
		file.AddString("file_name", ("/boot/home/build/item" + std::to_string(item)).c_str());
		file.AddInt8("file_type", (int8)(item % 2 + 1));
		file.AddInt32("file_size", 100000 + item);
		file.AddInt32("file_size", 100000 + item);
		file.AddInt64("file_creation", 1700000000 + item);
		file.AddInt64("file_modified", 1700000100 + item);
		file.AddInt64("file_accessed", 1700000200 + item);
		BMessage icon;
		icon.AddString("class", "LibBitmap");
		icon.AddRect("_frame", BRect(0, 0, 15, 15));
		icon.AddInt32("_cspace", 4);
		icon.AddInt32("_bmflags", 1);
		icon.AddInt32("_rowbytes", 16);
		std::vector<uint8> pixels(256, (uint8)item);
		icon.AddData("_data", B_RAW_TYPE, pixels.data(), (ssize_t)pixels.size());
		file.AddMessage("file_icon", &icon);
		file.AddString("groups", "Full;Developer;");
		BMessage meta;
		meta.AddString("destination", "User Selected");
		meta.AddString("destination_exists", "Prompt");
		meta.AddString("link", "None");
		meta.AddString("link_exists", "Prompt");
		meta.AddString("deinstallable", "True");
		file.AddMessage("install_meta", &meta);
		instructions.AddMessage("install_file", &file);
	}
	configuration.AddMessage("install_instructions", &instructions);

	const char* flags[] = { "opt_log", "opt_create_startup", "opt_save_replaced",
		"opt_show_beos_folders", "req_disk_space_needed", "req_disk_space_required",
		"req_boot_vol_only", "req_removable_vol_ok", "req_shared_vol_ok", "req_ram_needed",
		"req_ram_required", "edit_bootscript", "edit_setup_env", "edit_profile", "complete_restart",
		"complete_display_folder" };
	for (const char* flag : flags)
		configuration.AddBool(flag, true);
	configuration.AddString("opt_default_folder", "Current");
	configuration.AddString("opt_created_folder", "Example");
	configuration.AddInt32("opt_compression", 9);
	BMessage space;
	space.AddInt32("value_type", 'kb  ');
	space.AddFloat("value_conversion", 1024.0f);
	space.AddDouble("value", 1048576.0);
	configuration.AddMessage("req_disk_space_amount", &space);
	configuration.AddInt32("req_ram_amount", 64);
	BMessage libraries;
	libraries.AddBool("req_shared_librry_req", true);
	libraries.AddString("req_shared_library_name", "libexample.so");
	configuration.AddMessage("req_shared_library", &libraries);
	BMessage apps;
	apps.AddBool("req_app_req", false);
	configuration.AddMessage("req_apps", &apps);
	for (const char* section : { "edit_bootscript", "edit_setup_env", "edit_profile" }) {
		configuration.AddString((std::string(section) + "_tag").c_str(), "ExampleTag");
		configuration.AddString(
			(std::string(section) + "_contents").c_str(), "export EXAMPLE=1\nexample --start\n");
	}
	configuration.AddString("complete_comments", "Thank you for installing.");
	configuration.AddInt32("BRC:deinstaller_size", 123456);
	for (int32 i = 0; configuration.CountNames(B_ANY_TYPE) < 60; i++)
		configuration.AddFloat(("extra_" + std::to_string(i)).c_str(), (float)i);
	return configuration;
}

BMessage
MakeLargeRaw()
{
	BMessage message;
	std::vector<uint8> payload(10 * 1024 * 1024);
	for (size_t i = 0; i < payload.size(); i++)
		payload[i] = (uint8)(i * 31);
	message.AddData("payload", B_RAW_TYPE, payload.data(), (ssize_t)payload.size());
	return message;
}

// Runs body until it has used at least minimumSeconds of processor time; returns runs per
// second of processor time.
template <typename Body>
double
Measure(Body body, double minimumSeconds = 1.0)
{
	int64 runs = 0;
	double start = ThreadSeconds();
	double elapsed = 0;
	do {
		body();
		runs++;
		elapsed = ThreadSeconds() - start;
	} while (elapsed < minimumSeconds);
	return runs / elapsed;
}

bool
Report(const char* label, const BMessage& message)
{
	ssize_t size = message.FlattenedSize();
	std::vector<char> buffer((size_t)size);
	if (message.Flatten(buffer.data(), size) != B_OK)
		return false;

	double flattens = Measure([&]() { message.Flatten(buffer.data(), size); });
	double unflattens = Measure([&]() {
		BMessage copy;
		copy.Unflatten(buffer.data(), size);
	});
	double megabytes = size / (1024.0 * 1024.0);
	printf("%s: %d fields, %zd bytes flattened\n", label, message.CountNames(B_ANY_TYPE), size);
	printf("  flatten:   %10.1f MB/s  %12.0f messages/s\n", flattens * megabytes, flattens);
	printf("  unflatten: %10.1f MB/s  %12.0f messages/s\n", unflattens * megabytes, unflattens);
	return true;
}

} // namespace

int
main()
{
	if (!Report("configuration message", MakeConfiguration()))
		return 1;
	if (!Report("10 MB raw field", MakeLargeRaw()))
		return 1;
	return 0;
}
