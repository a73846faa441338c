// Feeds arbitrary bytes, as a help file, to the XML reader: searches for the help file's
// elements in document order and walks every tag. Whatever the bytes, the reader must stay
// within its buffers, keep names and attribute texts within their limits and come to an
// end; the sanitizers catch anything else.
#include <xmlParser.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The reader takes a path, so each input goes through one scratch file per process.
const std::string&
scratch_path()
{
	static const std::string path = [] {
		const char* folder = getenv("TMPDIR");
		std::string result = std::string(folder != nullptr ? folder : "/tmp") + "/XmlFindTagFuzzer-"
			+ std::to_string(getpid()) + ".xml";
		return result;
	}();
	return path;
}

void
remove_scratch_file()
{
	unlink(scratch_path().c_str());
}

void
check_tag(xmlTag& tag, int32 depth)
{
	if (tag.Name().Length() > kXmlNameLength)
		abort();
	char* name = nullptr;
	type_code type = 0;
	int32 count = 0;
	for (int32 i = 0; tag.Modifiers().GetInfo(B_STRING_TYPE, i, &name, &type, &count) == B_OK;
		 i++) {
		if (strlen(name) > size_t(kXmlNameLength))
			abort();
		for (int32 index = 0; index < count; index++) {
			const char* value = nullptr;
			if (tag.Modifiers().FindString(name, index, &value) != B_OK
				|| strlen(value) > size_t(kXmlNameLength)) {
				abort();
			}
		}
	}
	int32 children = 0;
	for (xmlTag* child = tag.FirstChildTag(); child != nullptr; child = tag.NextChildTag()) {
		if (child->ParentLocation() < 0)
			abort();
		children++;
	}
	if (children != tag.CountChildren())
		abort();
	if (depth == 0) {
		// A copy holds the same tree.
		xmlTag copy(tag);
		if (copy.CountChildren() != children || !(copy == tag))
			abort();
	}
	for (xmlTag* child = tag.FirstChildTag(); child != nullptr; child = tag.NextChildTag())
		check_tag(*child, depth + 1);
}

void
find_all(xmlParser& parser, const char* name, size_t limit)
{
	parser.Rewind();
	xmlTag tag;
	for (size_t i = 0; i <= limit && parser.FindTag(name, tag); i++) {
		if (strcmp(tag.Name(), name) != 0)
			abort();
		check_tag(tag, 0);
	}
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	static const bool registered = atexit(remove_scratch_file) == 0;
	(void)registered;
	const std::string& path = scratch_path();
	FILE* file = fopen(path.c_str(), "wb");
	if (file == nullptr)
		return 0;
	if (size > 0 && fwrite(data, 1, size, file) != size) {
		fclose(file);
		return 0;
	}
	fclose(file);

	xmlParser parser(path.c_str());
	if (!parser.IsValid())
		return 0;

	find_all(parser, "CONTENTS", size);
	find_all(parser, "PAGE", size);
	find_all(parser, "A", size);

	parser.Rewind();
	char name[kXmlNameLength + 1];
	bool hasAttributes = false;
	for (size_t i = 0; i <= size && parser.NextTag(name, hasAttributes); i++) {
		if (strlen(name) > size_t(kXmlNameLength))
			abort();
		if (hasAttributes) {
			xmlTagModifiers modifiers;
			parser.AddModifiers(modifiers);
		}
	}
	return 0;
}
