#include <Volume.h>

#include <Directory.h>

#include "AttributeStore.h"
#include "MountTable.h"
#include "StoragePrivate.h"

#include <cstdio>
#include <sys/statvfs.h>

using namespace BPrivate;

namespace {

status_t
volume_space(dev_t device, struct statvfs* info)
{
	VolumeEntry volume;
	status_t status = find_volume(device, &volume);
	if (status != B_OK)
		return status;
	return statvfs(volume.mountPoint.c_str(), info) == 0 ? B_OK : status_from_errno();
}

} // namespace

BVolume::BVolume() :
	fDevice((dev_t)-1),
	fStatus(B_NO_INIT)
{
}

BVolume::BVolume(dev_t device) :
	fDevice((dev_t)-1),
	fStatus(B_NO_INIT)
{
	SetTo(device);
}

BVolume::BVolume(const BVolume& volume) :
	fDevice(volume.fDevice),
	fStatus(volume.fStatus)
{
}

BVolume::~BVolume() { }

status_t
BVolume::InitCheck() const
{
	return fStatus;
}

status_t
BVolume::SetTo(dev_t device)
{
	Unset();
	VolumeEntry volume;
	fStatus = find_volume(device, &volume);
	if (fStatus == B_OK)
		fDevice = device;
	return fStatus;
}

void
BVolume::Unset()
{
	fDevice = (dev_t)-1;
	fStatus = B_NO_INIT;
}

dev_t
BVolume::Device() const
{
	return fDevice;
}

status_t
BVolume::GetRootDirectory(BDirectory* directory) const
{
	if (directory == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	VolumeEntry volume;
	status_t status = find_volume(fDevice, &volume);
	if (status != B_OK)
		return status;
	return directory->SetTo(volume.mountPoint.c_str());
}

off_t
BVolume::Capacity() const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	struct statvfs info;
	status_t status = volume_space(fDevice, &info);
	if (status != B_OK)
		return status;
	return (off_t)info.f_blocks * (off_t)info.f_frsize;
}

off_t
BVolume::FreeBytes() const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	struct statvfs info;
	status_t status = volume_space(fDevice, &info);
	if (status != B_OK)
		return status;
	return (off_t)info.f_bavail * (off_t)info.f_frsize;
}

off_t
BVolume::BlockSize() const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	struct statvfs info;
	status_t status = volume_space(fDevice, &info);
	if (status != B_OK)
		return status;
	return (off_t)info.f_frsize;
}

status_t
BVolume::GetName(char* buffer) const
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	VolumeEntry volume;
	status_t status = find_volume(fDevice, &volume);
	if (status != B_OK)
		return status;
	snprintf(buffer, B_FILE_NAME_LENGTH, "%s", volume.name.c_str());
	return B_OK;
}

bool
BVolume::IsRemovable() const
{
	VolumeEntry volume;
	return fStatus == B_OK && find_volume(fDevice, &volume) == B_OK && volume.removable;
}

bool
BVolume::IsReadOnly() const
{
	VolumeEntry volume;
	return fStatus == B_OK && find_volume(fDevice, &volume) == B_OK && volume.readOnly;
}

bool
BVolume::IsPersistent() const
{
	VolumeEntry volume;
	return fStatus == B_OK && find_volume(fDevice, &volume) == B_OK && volume.persistent;
}

bool
BVolume::IsShared() const
{
	VolumeEntry volume;
	return fStatus == B_OK && find_volume(fDevice, &volume) == B_OK && volume.shared;
}

bool
BVolume::KnowsMime() const
{
	// File types are attributes (BEOS:TYPE): a volume knows types when it keeps
	// attributes.
	return KnowsAttr();
}

bool
BVolume::KnowsAttr() const
{
	VolumeEntry volume;
	return fStatus == B_OK && find_volume(fDevice, &volume) == B_OK
		&& attribute_store::SupportsAttributes(volume.mountPoint);
}

bool
BVolume::KnowsQuery() const
{
	// Linux file systems keep no attribute indexes to query.
	return false;
}

bool
BVolume::operator==(const BVolume& volume) const
{
	if (fStatus != B_OK || volume.fStatus != B_OK)
		return fStatus != B_OK && volume.fStatus != B_OK;
	return fDevice == volume.fDevice;
}

bool
BVolume::operator!=(const BVolume& volume) const
{
	return !(*this == volume);
}

BVolume&
BVolume::operator=(const BVolume& volume)
{
	fDevice = volume.fDevice;
	fStatus = volume.fStatus;
	return *this;
}
