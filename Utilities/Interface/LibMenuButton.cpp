#include "LibMenuButton.h"

#include "LibRect.h"
#include "LibString.h"

LibMenuButton::LibMenuButton(BPoint where, const char* name, const char* label,
	const float& divider, const float& width, uint32 resizingMode, const int& fontSize) :
	LibLabelControl(
		LibRect(where.x, where.y, divider + width, 25), divider, name, label, 3, ":", resizingMode),
	fMenuField(NULL)
{
	fMenuField =
		new LibMenuField(LibRect(divider - 3, 0, width, Bounds().Height()), "menu", fontSize);
	AddChild(fMenuField);
}

LibMenuButton::~LibMenuButton() { }

bool
LibMenuButton::AddItem(const char* label, BMessage* message, const int32& index)
{
	return fMenuField->Add(label, message, index);
}

bool
LibMenuButton::AddItem(const LibString& label, BMessage* message, const int32& index)
{
	return fMenuField->Add(label, message, index);
}

void
LibMenuButton::AddSeparatorItem()
{
	fMenuField->AddSeparatorItem();
}

void
LibMenuButton::Clear()
{
	fMenuField->Clear();
}

void
LibMenuButton::SetItem(const int32& index)
{
	fMenuField->SetItem(index);
}

void
LibMenuButton::SetText(const char* label)
{
	fMenuField->SetText(label);
}

const char*
LibMenuButton::Text() const
{
	return fMenuField->Text();
}

int32
LibMenuButton::CurrentSelection() const
{
	return fMenuField->CurrentSelection();
}

BMenuItem*
LibMenuButton::ItemAt(const int32& index) const
{
	return fMenuField->ItemAt(index);
}

bool
LibMenuButton::InMenu(const char* label) const
{
	return fMenuField->InMenu(label);
}

bool
LibMenuButton::IsItemEnabled(const int32& index) const
{
	return fMenuField->IsItemEnabled(index);
}

bool
LibMenuButton::IsItemEnabled(const char* label) const
{
	return fMenuField->IsItemEnabled(label);
}

void
LibMenuButton::SetEnableItem(const int32& index, const bool& enabled)
{
	fMenuField->SetEnableItem(index, enabled);
}

void
LibMenuButton::SetEnableItem(const char* label, const bool& enabled)
{
	fMenuField->SetEnableItem(label, enabled);
}

void
LibMenuButton::ReplaceItem(const char* label, const char* newLabel)
{
	fMenuField->Replace(label, newLabel);
}

void
LibMenuButton::RemoveItem(const int32& index)
{
	fMenuField->RemoveItem(index);
}

void
LibMenuButton::RemoveItem(const char* label)
{
	fMenuField->RemoveItem(label);
}

void
LibMenuButton::SetTo(const BMessage& message, const char* field, const uint32& what)
{
	fMenuField->SetTo(message, field, what);
}

void
LibMenuButton::AddStdFolder(const directory_which& which, const uint32& what)
{
	fMenuField->AddStdFolder(which, what);
}

void
LibMenuButton::AddStdFolders(const bool& withSystemFolders, const uint32& what)
{
	fMenuField->AddStdFolders(withSystemFolders, what);
}

void
LibMenuButton::SetEnabled(bool enabled)
{
	LibLabelControl::SetEnabled(enabled);
	fMenuField->SetEnabled(enabled);
}

void
LibMenuButton::MakeFocus(bool focus)
{
	fMenuField->MakeFocus(focus);
}

void
LibMenuButton::KeyDown(const char* bytes, int32 numBytes)
{
	fMenuField->KeyDown(bytes, numBytes);
}
