// Diagnostics: the errors and warnings of one PackageBuilder command, each naming the file
// and, when it is known, the line and column it is about. They are printed the way
// compilers print theirs ("demo.toml:12:5: error: ..."), so editors can jump to them.
#ifndef DIAGNOSTICS_H
#define DIAGNOSTICS_H

#include <SupportDefs.h>

#include <cstdio>
#include <string>
#include <vector>

class Diagnostics {
public:
	enum Severity { kError, kWarning };

	struct Entry {
		Severity severity;
		std::string file;
		int64 line;
		int64 column;
		std::string text;
	};

	// Line and column 0 mean the whole file.
	void Error(const std::string& file, int64 line, int64 column, const std::string& text);
	void Warning(const std::string& file, int64 line, int64 column, const std::string& text);

	bool HasErrors() const { return fErrorCount > 0; }

	int32 ErrorCount() const { return fErrorCount; }

	const std::vector<Entry>& Entries() const { return fEntries; }

	// True when some entry's text contains fragment (for tests and callers that branch on
	// a kind of problem).
	bool Mentions(const std::string& fragment) const;

	void Print(FILE* stream) const;
	static std::string Format(const Entry& entry);

private:
	std::vector<Entry> fEntries;
	int32 fErrorCount = 0;
};

#endif // DIAGNOSTICS_H
