// The "Disk" pop-up of mounted volumes with which both programs choose where to work. The
// boot volume comes first and is always usable; the others are listed greyed out when they do
// not suit: without attributes (the "BeOS volumes only" rule: installed entries are stamped
// with attributes), or read-only, persistent, removable or shared where that is not allowed.
#ifndef LIB_VOLUME_MENU_H
#define LIB_VOLUME_MENU_H

#include "LibMenuButton.h"

class BVolume;

class LibVolumeMenu : public LibMenuButton {
public:
	// The label "Disk" left of divider and a menu 130 wide; each volume's item sends a
	// message with what. The menu is empty until Update().
	LibVolumeMenu(BPoint where, const char* name, const uint32& what, const float& divider);
	virtual ~LibVolumeMenu();

	// The rules take effect at the next Update(). Defaults: only volumes with attributes,
	// no read-only volumes, persistent, removable and shared volumes allowed.
	void OnlyBeOS(const bool& only);
	void AllowReadOnly(const bool& allow);
	void AllowPersistent(const bool& allow);
	void AllowRemovable(const bool& allow);
	void AllowShared(const bool& allow);

	// Lists the mounted volumes again, the boot volume first. The volume marked before stays
	// marked when it is still listed and usable; otherwise the boot volume is.
	void Update();

	// The mounted volume whose name is the marked item's label; false when there is none.
	bool GetCurrentVolume(BVolume& volume);

private:
	bool _IsUsable(const BVolume& volume) const;

	bool fOnlyBeOS;
	bool fAllowReadOnly;
	bool fAllowPersistent;
	bool fAllowRemovable;
	bool fAllowShared;
	uint32 fWhat;
};

#endif // LIB_VOLUME_MENU_H
