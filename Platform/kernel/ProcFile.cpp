#include "ProcFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace BPrivate {

bool
read_text_file(const char* path, std::string& text, size_t maxSize)
{
	text.clear();
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return false;

	char buffer[4096];
	bool ok = true;
	while (text.size() < maxSize) {
		ssize_t count = read(fd, buffer, sizeof(buffer));
		if (count < 0 && errno == EINTR)
			continue;
		if (count < 0) {
			ok = false;
			break;
		}
		if (count == 0)
			break;
		text.append(buffer, std::min(static_cast<size_t>(count), maxSize - text.size()));
	}
	close(fd);
	return ok;
}

static bool
is_blank(char c)
{
	return c == ' ' || c == '\t';
}

bool
find_key_value(
	const std::string& text, const char* key, std::string& value, size_t offset, size_t* lineEnd)
{
	const size_t keyLength = strlen(key);
	size_t lineStart = offset;
	while (lineStart < text.size()) {
		size_t end = text.find('\n', lineStart);
		if (end == std::string::npos)
			end = text.size();

		if (text.compare(lineStart, keyLength, key) == 0) {
			size_t position = lineStart + keyLength;
			while (position < end && is_blank(text[position]))
				position++;
			if (position < end && text[position] == ':') {
				position++;
				while (position < end && is_blank(text[position]))
					position++;
				size_t valueEnd = end;
				while (valueEnd > position && is_blank(text[valueEnd - 1]))
					valueEnd--;
				value.assign(text, position, valueEnd - position);
				if (lineEnd != nullptr)
					*lineEnd = end;
				return true;
			}
		}
		lineStart = end + 1;
	}
	return false;
}

} // namespace BPrivate
