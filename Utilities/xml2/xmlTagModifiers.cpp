#include "xmlTagModifiers.h"

xmlTagModifiers::xmlTagModifiers() { }

xmlTagModifiers::xmlTagModifiers(const xmlTagModifiers& other) :
	BMessage(other)
{
}

xmlTagModifiers::~xmlTagModifiers() { }

xmlTagModifiers&
xmlTagModifiers::operator=(const xmlTagModifiers& other)
{
	BMessage::operator=(other);
	return *this;
}
