// The shape of a configuration message: for each record of the package format, the fields
// it holds with their types and how many values each may have. The check command holds an
// installer's configuration against it.
#ifndef PACKAGE_SCHEMA_H
#define PACKAGE_SCHEMA_H

#include <SupportDefs.h>

#include <string>
#include <vector>

class BMessage;

struct SchemaField {
	const char* name;
	type_code type;
	int32 minimum;
	int32 maximum;
	// The record a message field holds, or NULL.
	const struct SchemaRecord* record;
};

struct SchemaRecord {
	const char* name;
	std::vector<SchemaField> fields;
};

// The configuration message of a package.
const SchemaRecord& ConfigurationSchema();

// Holds message against record and its nested records. Each problem is one line in
// problems ("install_instructions/install_file[2]/file_size: 1 value, expected 2"); fields
// the format does not know go to unknown.
void CheckAgainstSchema(const BMessage& message, const SchemaRecord& record,
	std::vector<std::string>& problems, std::vector<std::string>& unknown,
	const std::string& where = std::string());

#endif // PACKAGE_SCHEMA_H
