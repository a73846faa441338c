#include "LibVolumeMenu.h"

#include <Message.h>
#include <StorageDefs.h>
#include <Volume.h>
#include <VolumeRoster.h>

#include <string>

namespace {

const char* const kLabel = "Disk";
const float kMenuWidth = 130;

std::string
volume_name(const BVolume& volume)
{
	char name[B_FILE_NAME_LENGTH] = "";
	if (volume.GetName(name) != B_OK)
		return std::string();
	return name;
}

} // namespace

LibVolumeMenu::LibVolumeMenu(
	BPoint where, const char* name, const uint32& what, const float& divider) :
	LibMenuButton(where, name, kLabel, divider, kMenuWidth, B_FOLLOW_LEFT | B_FOLLOW_TOP),
	fOnlyBeOS(true),
	fAllowReadOnly(false),
	fAllowPersistent(true),
	fAllowRemovable(true),
	fAllowShared(true),
	fWhat(what)
{
}

LibVolumeMenu::~LibVolumeMenu() { }

void
LibVolumeMenu::OnlyBeOS(const bool& only)
{
	fOnlyBeOS = only;
}

void
LibVolumeMenu::AllowReadOnly(const bool& allow)
{
	fAllowReadOnly = allow;
}

void
LibVolumeMenu::AllowPersistent(const bool& allow)
{
	fAllowPersistent = allow;
}

void
LibVolumeMenu::AllowRemovable(const bool& allow)
{
	fAllowRemovable = allow;
}

void
LibVolumeMenu::AllowShared(const bool& allow)
{
	fAllowShared = allow;
}

bool
LibVolumeMenu::_IsUsable(const BVolume& volume) const
{
	// Installed entries carry their installation's tag as an attribute, so a volume that
	// keeps none cannot hold an installation that can be found again.
	if (fOnlyBeOS)
		return volume.KnowsAttr();
	if (volume.IsReadOnly() && !fAllowReadOnly)
		return false;
	if (volume.IsPersistent() && !fAllowPersistent)
		return false;
	if (volume.IsRemovable() && !fAllowRemovable)
		return false;
	if (volume.IsShared() && !fAllowShared)
		return false;
	return true;
}

void
LibVolumeMenu::Update()
{
	const std::string marked = Text();
	Clear();

	BVolumeRoster roster;
	BVolume boot;
	if (roster.GetBootVolume(&boot) == B_OK)
		AddItem(volume_name(boot).c_str(), new BMessage(fWhat));

	BVolume volume;
	while (roster.GetNextVolume(&volume) == B_OK) {
		if (volume == boot)
			continue;
		const std::string name = volume_name(volume);
		if (name.empty())
			continue;
		AddItem(name.c_str(), new BMessage(fWhat));
		if (!_IsUsable(volume))
			SetEnableItem(name.c_str(), false);
	}

	// A volume that became unusable while marked is not chosen again: the boot volume
	// (the first item) stays marked instead.
	if (!marked.empty() && InMenu(marked.c_str()) && IsItemEnabled(marked.c_str()))
		SetText(marked.c_str());
}

bool
LibVolumeMenu::GetCurrentVolume(BVolume& volume)
{
	const std::string marked = Text();
	if (marked.empty())
		return false;
	BVolumeRoster roster;
	BVolume candidate;
	while (roster.GetNextVolume(&candidate) == B_OK) {
		if (volume_name(candidate) == marked) {
			volume = candidate;
			return true;
		}
	}
	return false;
}
