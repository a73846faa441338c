#include "LibLocaleDateTime.h"

#include <Message.h>

LibLocaleDateTime::LibLocaleDateTime() :
	fFieldSeparator(" ")
{
}

LibLocaleDateTime::~LibLocaleDateTime() { }

void
LibLocaleDateTime::PrintToStream() const
{
	LibLocaleDate::PrintToStream();
	LibLocaleTime::PrintToStream();
}

LibString
LibLocaleDateTime::Format(const LibDateTime& dateTime) const
{
	LibString result = LibLocaleDate::Format(static_cast<const LibDate&>(dateTime));
	result += fFieldSeparator;
	result += LibLocaleTime::Format(static_cast<const LibTime&>(dateTime));
	return result;
}

void
LibLocaleDateTime::SetSeperator(const char* separator)
{
	fFieldSeparator = separator != NULL ? separator : "";
}

status_t
LibLocaleDateTime::Read(const BMessage& message)
{
	const char* separator;
	if (message.FindString("field_seperator", &separator) == B_OK)
		fFieldSeparator = separator;
	LibLocaleDate::Read(message);
	return LibLocaleTime::Read(message);
}

status_t
LibLocaleDateTime::Write(BMessage& message) const
{
	status_t status = message.AddString("field_seperator", fFieldSeparator);
	if (status == B_OK)
		status = LibLocaleDate::Write(message);
	if (status == B_OK)
		status = LibLocaleTime::Write(message);
	return status;
}
