// The layout of a package: the resources an installer executable carries and the keys of
// its configuration message. The installer, the deinstaller and PackageBuilder all name
// them through these constants, so a misspelt key is a compile error rather than a field
// that silently reads as missing.
#ifndef PACKAGE_DEFS_H
#define PACKAGE_DEFS_H

#include <SupportDefs.h>

namespace Package {

// Resource type codes.
constexpr type_code kRawType = 'RAWT';
constexpr type_code kStringType = 'CSTR';
constexpr type_code kMiniIconType = 'MICN';
constexpr type_code kLargeIconType = 'ICON';
constexpr type_code kMessageType = 'MSGG';
constexpr type_code kMimeStringType = 'MIMS';
constexpr type_code kAppFlagsType = 'APPF';
constexpr type_code kAppVersionType = 'APPV';

// Resources by type and id, with their names. The help archive and the configuration
// share the id 2002; only the type tells them apart.
constexpr int32 kConfigurationId = 2002;
constexpr const char* kConfigurationName = "BRC:configuration";
constexpr int32 kDeinstallerId = 2001;
constexpr const char* kDeinstallerName = "Tarnwick";
constexpr int32 kHelpId = 2002;
constexpr const char* kHelpName = "os:help";
constexpr const char* kHelpFileName = "x-vnd.Quillfield.Brimlow.help";
// Item i's payload is RAWT kFirstPayloadId + i, named after the item's leaf name.
constexpr int32 kFirstPayloadId = 2100;

constexpr int32 kAppIconId = 101;
constexpr const char* kAppMiniIconName = "BEOS:M:STD_ICON";
constexpr const char* kAppLargeIconName = "BEOS:L:STD_ICON";
constexpr int32 kBrimlowIconId = 0;
constexpr const char* kBrimlowMiniIconName = "BEOS:M:text/brimlow";
constexpr const char* kBrimlowLargeIconName = "BEOS:L:text/brimlow";
constexpr int32 kPackageIconId = 1;
constexpr const char* kPackageMiniIconName = "BEOS:M:text/x-brimlow";
constexpr const char* kPackageLargeIconName = "BEOS:L:text/x-brimlow";
constexpr int32 kFileTypesId = 1;
constexpr const char* kFileTypesName = "BEOS:FILE_TYPES";
constexpr int32 kAppSignatureId = 1;
constexpr const char* kAppSignatureName = "BEOS:APP_SIG";
constexpr int32 kAppTypeId = 2;
constexpr const char* kAppTypeName = "BEOS:TYPE";
constexpr int32 kAppFlagsId = 1;
constexpr const char* kAppFlagsName = "BEOS:APP_FLAGS";
constexpr int32 kAppVersionId = 1;
constexpr const char* kAppVersionName = "BEOS:APP_VERSION";

constexpr const char* kInstallerSignature = "application/x-vnd.Quillfield.Brimlow";
constexpr const char* kPackageDocumentType = "text/x-brimlow";
constexpr const char* kExecutableType = "application/x-vnd.Be-elfexecutable";

// Top-level configuration keys.
constexpr const char* kInstallFolderName = "install_folder_name";
constexpr const char* kGroups = "groups";
constexpr const char* kAppName = "app_name";
constexpr const char* kVersion = "version";
constexpr const char* kReleaseDate = "release_date";
constexpr const char* kCompany = "company";
constexpr const char* kSupportEmail = "support_email";
constexpr const char* kAboutImage = "about_image";
constexpr const char* kAudioFile = "audio_file";
constexpr const char* kAudioData = "audio_data";
constexpr const char* kLicense = "license";
constexpr const char* kInstallInstructions = "install_instructions";
constexpr const char* kCustomFolder = "custom_folder";
constexpr const char* kOptLog = "opt_log";
constexpr const char* kOptCreateStartup = "opt_create_startup";
constexpr const char* kOptSaveReplaced = "opt_save_replaced";
constexpr const char* kOptDefaultFolder = "opt_default_folder";
constexpr const char* kOptCreatedFolder = "opt_created_folder";
constexpr const char* kOptShowBeosFolders = "opt_show_beos_folders";
constexpr const char* kOptCompression = "opt_compression";
constexpr const char* kReqDiskSpaceNeeded = "req_disk_space_needed";
constexpr const char* kReqDiskSpaceRequired = "req_disk_space_required";
constexpr const char* kReqDiskSpaceAmount = "req_disk_space_amount";
constexpr const char* kReqBootVolOnly = "req_boot_vol_only";
constexpr const char* kReqRemovableVolOk = "req_removable_vol_ok";
constexpr const char* kReqSharedVolOk = "req_shared_vol_ok";
constexpr const char* kReqRamNeeded = "req_ram_needed";
constexpr const char* kReqRamRequired = "req_ram_required";
constexpr const char* kReqRamAmount = "req_ram_amount";
constexpr const char* kReqSharedLibrary = "req_shared_library";
constexpr const char* kReqApps = "req_apps";
constexpr const char* kEditBootscript = "edit_bootscript";
constexpr const char* kEditBootscriptTag = "edit_bootscript_tag";
constexpr const char* kEditBootscriptContents = "edit_bootscript_contents";
constexpr const char* kEditSetupEnv = "edit_setup_env";
constexpr const char* kEditSetupEnvTag = "edit_setup_env_tag";
constexpr const char* kEditSetupEnvContents = "edit_setup_env_contents";
constexpr const char* kEditProfile = "edit_profile";
constexpr const char* kEditProfileTag = "edit_profile_tag";
constexpr const char* kEditProfileContents = "edit_profile_contents";
constexpr const char* kCompleteComments = "complete_comments";
constexpr const char* kCompleteRestart = "complete_restart";
constexpr const char* kCompleteDisplayFolder = "complete_display_folder";
constexpr const char* kDeinstallerSize = "BRC:deinstaller_size";

// The groups message.
constexpr const char* kGroupName = "group_name";
constexpr const char* kGroupDescription = "group_description";

// install_instructions and each install_file record.
constexpr const char* kInstallFile = "install_file";
constexpr const char* kFileName = "file_name";
constexpr const char* kFileType = "file_type";
constexpr const char* kFileSize = "file_size";
constexpr const char* kFileCreation = "file_creation";
constexpr const char* kFileModified = "file_modified";
constexpr const char* kFileAccessed = "file_accessed";
constexpr const char* kFileIcon = "file_icon";
constexpr const char* kFileGroups = "groups";
constexpr const char* kInstallMeta = "install_meta";
constexpr const char* kInstallToSystem = "install_to_system";

// file_type values.
constexpr int8 kFileTypeFile = 1;
constexpr int8 kFileTypeFolder = 2;

// install_meta.
constexpr const char* kDestination = "destination";
constexpr const char* kDestinationExists = "destination_exists";
constexpr const char* kLink = "link";
constexpr const char* kLinkExists = "link_exists";
constexpr const char* kDeinstallable = "deinstallable";
constexpr const char* kAutoLaunch = "auto_launch";
constexpr const char* kAutoLaunchReason = "auto_launch_reason";

// Values of the placement fields.
constexpr const char* kUserSelected = "User Selected";
constexpr const char* kNone = "None";
constexpr const char* kTrue = "True";
constexpr const char* kFalse = "False";
constexpr const char* kPrompt = "Prompt";
constexpr const char* kRename = "Rename";
constexpr const char* kReplace = "Replace";
constexpr const char* kCurrentFolder = "Current";
constexpr const char* kStartUpFolder = "StartUp";
constexpr const char* kStartUpFolderTag = "StartUpFolder";

// custom_folder entries.
constexpr const char* kCustomFolderName = "custom_folder_name";
constexpr const char* kCustomRootDir = "custom_root_dir";
constexpr const char* kCustomSubDir = "custom_sub_dir";
constexpr const char* kCustomReplaceExisting = "custom_replace_existing";

// req_disk_space_amount.
constexpr const char* kValueType = "value_type";
constexpr const char* kValueConversion = "value_conversion";
constexpr const char* kValue = "value";
constexpr int32 kKilobyteUnit = 'kb  ';
constexpr float kKilobyteConversion = 1024.0f;

// req_shared_library (the "librry" spelling is the package format's own) and req_apps.
constexpr const char* kReqSharedLibraryRequired = "req_shared_librry_req";
constexpr const char* kReqSharedLibraryName = "req_shared_library_name";
constexpr const char* kReqAppRequired = "req_app_req";
constexpr const char* kReqAppName = "req_app_name";

// The archived sound in audio_data.
constexpr const char* kSoundData = "data";
constexpr const char* kSoundFrameRate = "frame_rate";
constexpr const char* kSoundChannelCount = "channel_count";
constexpr const char* kSoundFormat = "format";
constexpr const char* kSoundByteOrder = "byte_order";
constexpr const char* kSoundBufferSize = "buffer_size";

// The archived 16x16 item icon in file_icon.
constexpr const char* kIconClassName = "LibBitmap";
constexpr int32 kIconSide = 16;
constexpr int32 kIconBytes = 256;

// The about picture's size in pixels.
constexpr int32 kAboutImageWidth = 150;
constexpr int32 kAboutImageHeight = 200;

// The deinstaller reads the installation tag's attribute with a 256-byte buffer.
constexpr int32 kMaxTagLength = 255;

} // namespace Package

#endif // PACKAGE_DEFS_H
