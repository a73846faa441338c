// The reader of a help file: the tag reader as it is, declarations and comments skipped.
#ifndef HELP_PARSER_H
#define HELP_PARSER_H

#include "xmlParser.h"

class HelpParser : public xmlParser {
public:
	HelpParser();
	virtual ~HelpParser();
};

#endif // HELP_PARSER_H
