// A small streaming reader for tag-structured text, made for the help file: it scans a text
// file forward for the next element of a given name and reads that element's attributes,
// text and child elements into an xmlTag. It is not a general XML reader: no entities, no
// character references, no CDATA; declarations ("?xml") and comments ("!") are skipped; an
// element ends at the first end tag met at its level, whatever that tag's name; line
// breaks are not part of the text.
#ifndef XML_PARSER_H
#define XML_PARSER_H

#include <SupportDefs.h>

#include <fstream>
#include <memory>

#include "xmlTag.h"

// The longest element name, attribute name and attribute value kept; longer ones are cut.
const int32 kXmlNameLength = 79;
// The most characters one line load takes; a longer line arrives as several loads.
const int32 kXmlLineLoad = 1023;

class xmlParser {
public:
	// A closed parser.
	xmlParser();
	// Opens path (see IsValid()).
	xmlParser(const char* path);

	// True for the tags that NextTag passes over: "?xml" and "!".
	virtual bool SkipTag(const char* name);
	// Closes the file.
	virtual ~xmlParser();
	// True for the tags whose body FindTag does not read: "?xml" and "!".
	virtual bool NoAnchorTag(const char* name);
	// Writes the line, column and buffer to standard error.
	virtual void PrintToStream();

	// Closes any open file and opens path for reading from its start; returns IsValid().
	bool Open(const char* path);
	void Close();
	// A file is open.
	bool IsValid() const;
	// Reading starts again at the first character of the file.
	void Rewind();
	// Clears the position and drops the file.
	void Init();

	// Loads the next line (at most kXmlLineLoad characters, one trailing line feed
	// removed) and makes its first character the current one. False at the end of the
	// file or when closed.
	bool ReadLine();
	// Moves to the next character, loading lines as needed and skipping empty ones.
	// False at the end of the file.
	bool Advance();
	// A blank or a tab.
	bool IsWhiteSpace(const char& c) const;

	// Reads up to the end of the next tag's name (the character after it is the current
	// one). name must hold kXmlNameLength + 1 bytes; an end tag's name starts with "/", an
	// empty element's ends with "/". hasAttributes tells whether the name ended at a blank
	// or tab rather than at ">". False when no tag is left.
	bool NextTag(char* name, bool& hasAttributes);
	// Reads the next element named name (exact) from the current position on: its
	// attributes, text and children. False, with tag empty, when there is none.
	bool FindTag(const char* name, xmlTag& tag);
	// Reads the attributes of the tag whose name was just read, up to and including ">".
	void AddModifiers(xmlTagModifiers& modifiers);

protected:
	char _Current() const { return fBuffer[fColumn]; }

	std::unique_ptr<std::ifstream> fFile;
	int32 fLine;
	int32 fColumn;
	char fBuffer[kXmlLineLoad + 2];
	char fLookahead;

private:
	struct Position;

	void _ClearPosition();
	void _SavePosition(Position& position);
	void _RestorePosition(const Position& position);
	char _PeekNext();
	void _ReadTagName(char* name, bool& hasAttributes);
	void _SkipToTagEnd();
	bool _AddModifiers(xmlTagModifiers& modifiers);
	void _ReadElement(const char* name, bool hasAttributes, xmlTag& tag, int32 depth);
	void _ReadBody(xmlTag& tag, int32 depth);
};

#endif // XML_PARSER_H
