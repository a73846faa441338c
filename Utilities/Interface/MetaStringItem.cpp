#include "MetaStringItem.h"

MetaStringItem::MetaStringItem(const char* text) :
	BStringItem(text)
{
}

MetaStringItem::~MetaStringItem() { }
