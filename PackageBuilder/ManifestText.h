// What the manifest's text must be before the TOML parser sees it: UTF-8, with characters
// beyond ASCII only where a manifest has use for them, inside string values and comments.
// The parser (toml++ 3.3) reaches undefined behaviour when it asks whether some characters
// beyond ASCII are blanks, which it does outside strings and comments and, in multi-line
// strings, after a backslash; such text is refused here with its place instead.
#ifndef MANIFEST_TEXT_H
#define MANIFEST_TEXT_H

#include <SupportDefs.h>

#include <string>

struct ManifestTextProblem {
	// Lines and columns count from 1; columns count characters.
	int64 line = 0;
	int64 column = 0;
	std::string text;
};

// True when text may go to the parser; otherwise problem says where and why not.
bool CheckManifestText(const std::string& text, ManifestTextProblem& problem);

#endif // MANIFEST_TEXT_H
