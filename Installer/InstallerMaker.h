// Who made this installer, as the install log's banner and the start-up section name it.
// Kept in one place so that a new address changes every text that shows it.
#ifndef INSTALLER_MAKER_H
#define INSTALLER_MAKER_H

namespace InstallerMaker {

// The banner's first line.
constexpr const char* kName = "BRIMLOW";
constexpr const char* kWebAddress = "https://brimlow.example/";
constexpr const char* kSupportEmail = "support@brimlow.example";

} // namespace InstallerMaker

#endif // INSTALLER_MAKER_H
