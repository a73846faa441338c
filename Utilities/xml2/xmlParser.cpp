#include "xmlParser.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Elements nested deeper than this are read as if they were empty: their text joins their
// parent's. It bounds the recursion, so no file can exhaust the stack.
const int32 kMaxDepth = 100;

const char* const kDeclarationTag = "?xml";
const char* const kCommentTag = "!";

bool
is_blank(char c)
{
	return c == ' ' || c == '\t';
}

void
append_limited(char* buffer, int32& length, char c)
{
	// Longer names and values are cut; the reader goes on with the rest of the tag.
	if (length < kXmlNameLength)
		buffer[length++] = c;
	buffer[length] = '\0';
}

// Whether a "<" followed by next opens a tag. One followed by a blank, a tab, ">", another
// "<" or the end of the file is text: "a < b" in a page neither ends a search nor starts an
// element.
bool
starts_tag(char next)
{
	return next != '\0' && !is_blank(next) && next != '>' && next != '<';
}

} // namespace

// Everything needed to come back to a place in the file: the stream position after the
// loaded line and the line itself.
struct xmlParser::Position {
	std::streampos filePosition;
	int32 line;
	int32 column;
	char buffer[kXmlLineLoad + 2];
	char lookahead;
};

xmlParser::xmlParser()
{
	_ClearPosition();
}

xmlParser::xmlParser(const char* path)
{
	_ClearPosition();
	Open(path);
}

bool
xmlParser::SkipTag(const char* name)
{
	return strcmp(name, kDeclarationTag) == 0 || strcmp(name, kCommentTag) == 0;
}

xmlParser::~xmlParser()
{
	Close();
}

bool
xmlParser::NoAnchorTag(const char* name)
{
	return strcmp(name, kDeclarationTag) == 0 || strcmp(name, kCommentTag) == 0;
}

void
xmlParser::PrintToStream()
{
	fprintf(stderr, "xmlParser: line %ld, column %ld\nbuffer <%s>\n", long(fLine), long(fColumn),
		fBuffer);
}

bool
xmlParser::Open(const char* path)
{
	Close();
	_ClearPosition();
	if (path == nullptr)
		return false;

	std::unique_ptr<std::ifstream> file(new std::ifstream(path, std::ios::in | std::ios::binary));
	if (file->is_open())
		fFile = std::move(file);
	return IsValid();
}

void
xmlParser::Close()
{
	fFile.reset();
}

bool
xmlParser::IsValid() const
{
	return fFile != nullptr;
}

void
xmlParser::Rewind()
{
	if (!IsValid())
		return;
	_ClearPosition();
	fFile->clear();
	fFile->rdbuf()->pubseekpos(0, std::ios::in);
}

void
xmlParser::Init()
{
	// The parser owns its stream, so dropping it closes the file rather than leaking it.
	fFile.reset();
	_ClearPosition();
}

bool
xmlParser::ReadLine()
{
	if (!IsValid())
		return false;

	std::streambuf* stream = fFile->rdbuf();
	if (stream->sgetc() == std::char_traits<char>::eof())
		return false;

	// Like fgets into a 1,024-byte buffer: at most kXmlLineLoad characters, the line feed
	// included when it fits.
	int32 length = 0;
	while (length < kXmlLineLoad) {
		int c = stream->sbumpc();
		if (c == std::char_traits<char>::eof())
			break;
		fBuffer[length++] = char(c);
		if (c == '\n')
			break;
	}
	fBuffer[length] = '\0';

	if (length > 0 && fBuffer[length - 1] == '\n') {
		fBuffer[--length] = '\0';
		// A line written with CR LF ends at its CR as well: line breaks are never text.
		if (length > 0 && fBuffer[length - 1] == '\r')
			fBuffer[--length] = '\0';
	}

	fColumn = 0;
	fLine++;
	fLookahead = fBuffer[0] != '\0' ? fBuffer[1] : '\0';
	return true;
}

bool
xmlParser::Advance()
{
	if (fBuffer[fColumn] != '\0' && fBuffer[fColumn + 1] != '\0') {
		fColumn++;
	} else {
		// The loaded text is used up: the next non-empty line continues it.
		do {
			if (!ReadLine())
				return false;
		} while (fBuffer[0] == '\0');
	}
	fLookahead = fBuffer[fColumn + 1];
	return true;
}

bool
xmlParser::IsWhiteSpace(const char& c) const
{
	return is_blank(c);
}

bool
xmlParser::NextTag(char* name, bool& hasAttributes)
{
	name[0] = '\0';
	hasAttributes = false;
	if (!IsValid())
		return false;

	while (Advance()) {
		if (_Current() != '<' || !starts_tag(_PeekNext()))
			continue;
		_ReadTagName(name, hasAttributes);
		if (name[0] == '\0')
			continue;
		if (!SkipTag(name))
			return true;
		// A skipped tag is passed over; the rest of it reads as ordinary text.
		name[0] = '\0';
		hasAttributes = false;
	}
	return name[0] != '\0';
}

bool
xmlParser::FindTag(const char* name, xmlTag& tag)
{
	tag.Clear();
	if (name == nullptr)
		return false;

	char found[kXmlNameLength + 1];
	bool hasAttributes = false;
	while (NextTag(found, hasAttributes)) {
		if (strcmp(found, name) != 0)
			continue;
		_ReadElement(found, hasAttributes, tag, 0);
		tag.StripTrailingContent();
		return true;
	}
	return false;
}

void
xmlParser::AddModifiers(xmlTagModifiers& modifiers)
{
	_AddModifiers(modifiers);
}

void
xmlParser::_ClearPosition()
{
	fLine = 0;
	fColumn = 0;
	memset(fBuffer, 0, sizeof(fBuffer));
	fLookahead = '\0';
}

void
xmlParser::_SavePosition(Position& position)
{
	position.filePosition = fFile->rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
	position.line = fLine;
	position.column = fColumn;
	memcpy(position.buffer, fBuffer, sizeof(fBuffer));
	position.lookahead = fLookahead;
}

void
xmlParser::_RestorePosition(const Position& position)
{
	fFile->rdbuf()->pubseekpos(position.filePosition, std::ios::in);
	fLine = position.line;
	fColumn = position.column;
	memcpy(fBuffer, position.buffer, sizeof(fBuffer));
	fLookahead = position.lookahead;
}

// The character that Advance() would move to, without moving; NUL at the end of the file.
// Unlike the lookahead it looks past the end of the loaded line.
char
xmlParser::_PeekNext()
{
	if (fBuffer[fColumn] != '\0' && fBuffer[fColumn + 1] != '\0')
		return fBuffer[fColumn + 1];

	Position position;
	_SavePosition(position);
	char next = Advance() ? _Current() : '\0';
	_RestorePosition(position);
	return next;
}

// From the "<" at the current position, collects the name up to a blank, a tab or ">".
void
xmlParser::_ReadTagName(char* name, bool& hasAttributes)
{
	int32 length = 0;
	name[0] = '\0';
	hasAttributes = false;
	while (Advance()) {
		char c = _Current();
		if (is_blank(c) || c == '>') {
			hasAttributes = c != '>';
			return;
		}
		if (c == '<') {
			// A "<" inside a name starts the tag over.
			length = 0;
			name[0] = '\0';
			continue;
		}
		append_limited(name, length, c);
	}
}

void
xmlParser::_SkipToTagEnd()
{
	while (Advance()) {
		if (_Current() == '>')
			return;
	}
}

// Reads attributes up to and including ">". Returns true when the tag closed itself
// ("... />"), so that it has no body.
bool
xmlParser::_AddModifiers(xmlTagModifiers& modifiers)
{
	char name[kXmlNameLength + 1] = "";
	char value[kXmlNameLength + 1] = "";
	int32 nameLength = 0;
	int32 valueLength = 0;
	bool readingValue = false;
	char delimiter = ' ';

	while (Advance()) {
		char c = _Current();
		if (c == '>') {
			if (readingValue) {
				modifiers.AddString(name, value);
				return false;
			}
			return strcmp(name, "/") == 0;
		}
		if (!readingValue) {
			if (is_blank(c))
				continue;
			if (c == '=') {
				readingValue = true;
				valueLength = 0;
				value[0] = '\0';
				// Each value sets its own delimiter: a quotation mark when it starts with
				// one, otherwise the blank. Blanks before the value are not part of it.
				delimiter = ' ';
				while (is_blank(_PeekNext()))
					Advance();
				char next = _PeekNext();
				if (next == '"' || next == '\'') {
					Advance();
					delimiter = next;
				}
				continue;
			}
			append_limited(name, nameLength, c);
			continue;
		}
		// A quoted value ends at its closing mark even when empty; an unquoted one at the
		// first blank or tab after it.
		bool ends = delimiter == ' ' ? is_blank(c) && valueLength > 0 : c == delimiter;
		if (ends) {
			modifiers.AddString(name, value);
			nameLength = 0;
			name[0] = '\0';
			valueLength = 0;
			value[0] = '\0';
			readingValue = false;
			continue;
		}
		append_limited(value, valueLength, c);
	}
	return false;
}

// Reads the element whose start-tag name was just read: attributes, then the body unless
// the tag has none.
void
xmlParser::_ReadElement(const char* name, bool hasAttributes, xmlTag& tag, int32 depth)
{
	bool closed = hasAttributes ? _AddModifiers(tag.Modifiers()) : false;
	tag.SetName(name);
	if (closed || NoAnchorTag(name))
		return;
	_ReadBody(tag, depth);
}

void
xmlParser::_ReadBody(xmlTag& tag, int32 depth)
{
	// The element's own text is gathered here and handed to the tag once at the end: a
	// child's location is then the length gathered so far. Appending to the tag's text at
	// every child, and measuring it there, would cost the whole text again per child, so a
	// page of many breaks would take minutes.
	std::string text;

	bool more = true;
	while (more && Advance()) {
		char c = _Current();
		char next = c == '<' ? _PeekNext() : '\0';
		if (c != '<' || !starts_tag(next)) {
			if (is_blank(c) && text.empty())
				continue;
			text += c;
			continue;
		}

		if (next == '/') {
			// An end tag ends the element whatever its name: the name read carries the
			// "/", so it never equals the element's own.
			char endName[kXmlNameLength + 1];
			bool endHasAttributes = false;
			_ReadTagName(endName, endHasAttributes);
			if (endHasAttributes)
				_SkipToTagEnd();
			more = strcmp(endName, tag.Name()) == 0;
			continue;
		}

		int32 location = (int32)text.size();
		char childName[kXmlNameLength + 1];
		bool childHasAttributes = false;
		_ReadTagName(childName, childHasAttributes);
		if (childName[0] == '\0')
			continue;
		if (SkipTag(childName)) {
			// Declarations and comments inside an element go as whole tags.
			if (childHasAttributes)
				_SkipToTagEnd();
			continue;
		}

		std::unique_ptr<xmlTag> child(new xmlTag);
		size_t length = strlen(childName);
		if (childName[length - 1] == '/') {
			// An empty element ("BR/"): a name, nothing else.
			childName[length - 1] = '\0';
			child->SetName(childName);
			if (childHasAttributes)
				_SkipToTagEnd();
		} else if (depth + 1 >= kMaxDepth) {
			if (childHasAttributes)
				_AddModifiers(child->Modifiers());
			child->SetName(childName);
		} else {
			_ReadElement(childName, childHasAttributes, *child, depth + 1);
			child->StripTrailingContent();
		}
		child->SetParentLocation(location);
		tag._AdoptChild(child.release());
	}
	tag.AddContent(text.c_str());
}
