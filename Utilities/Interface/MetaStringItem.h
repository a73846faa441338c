// A text row of a list that carries a message of whatever data belongs to the row.
#ifndef META_STRING_ITEM_H
#define META_STRING_ITEM_H

#include <Message.h>
#include <StringItem.h>

class MetaStringItem : public BStringItem {
public:
	// A row showing text, with an empty message.
	MetaStringItem(const char* text);
	virtual ~MetaStringItem();

	// The row's own message, released with the row.
	BMessage* Message() { return &fMessage; }

	const BMessage* Message() const { return &fMessage; }

private:
	BMessage fMessage;
};

#endif // META_STRING_ITEM_H
