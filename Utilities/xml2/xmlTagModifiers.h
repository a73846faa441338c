// The attributes of one tag, as a message: each attribute is a string field named as the
// attribute, and an attribute written more than once has one value per occurrence, in
// order (the help file repeats "VIEW").
#ifndef XML_TAG_MODIFIERS_H
#define XML_TAG_MODIFIERS_H

#include <Message.h>

class xmlTagModifiers : public BMessage {
public:
	xmlTagModifiers();
	xmlTagModifiers(const xmlTagModifiers& other);
	virtual ~xmlTagModifiers();

	xmlTagModifiers& operator=(const xmlTagModifiers& other);
};

#endif // XML_TAG_MODIFIERS_H
