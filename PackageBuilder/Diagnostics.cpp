#include "Diagnostics.h"

void
Diagnostics::Error(const std::string& file, int64 line, int64 column, const std::string& text)
{
	fEntries.push_back({ kError, file, line, column, text });
	fErrorCount++;
}

void
Diagnostics::Warning(const std::string& file, int64 line, int64 column, const std::string& text)
{
	fEntries.push_back({ kWarning, file, line, column, text });
}

bool
Diagnostics::Mentions(const std::string& fragment) const
{
	for (const Entry& entry : fEntries) {
		if (entry.text.find(fragment) != std::string::npos)
			return true;
	}
	return false;
}

std::string
Diagnostics::Format(const Entry& entry)
{
	std::string text = entry.file;
	// Appended piece by piece: GCC 12 warns falsely about "literal" + std::string at -O3.
	if (entry.line > 0) {
		text += ':';
		text += std::to_string(entry.line);
		if (entry.column > 0) {
			text += ':';
			text += std::to_string(entry.column);
		}
	}
	text += entry.severity == kError ? ": error: " : ": warning: ";
	text += entry.text;
	return text;
}

void
Diagnostics::Print(FILE* stream) const
{
	for (const Entry& entry : fEntries)
		fprintf(stream, "%s\n", Format(entry).c_str());
}
