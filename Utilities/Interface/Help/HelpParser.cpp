#include "HelpParser.h"

HelpParser::HelpParser() { }

HelpParser::~HelpParser() { }
