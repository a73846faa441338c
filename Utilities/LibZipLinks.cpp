#include "LibZipLinks.h"

namespace lib_zip {

bool
LinkStaysInItem(size_t depth, const std::string& target)
{
	if (target.empty() || target[0] == '/')
		return false;
	size_t allowedClimbs = depth > 1 ? depth - 2 : 0;
	size_t climbs = 0;
	bool descended = false;
	size_t start = 0;
	while (start <= target.size()) {
		size_t end = target.find('/', start);
		if (end == std::string::npos)
			end = target.size();
		std::string part = target.substr(start, end - start);
		if (part == "..") {
			if (descended || ++climbs > allowedClimbs)
				return false;
		} else if (!part.empty() && part != ".")
			descended = true;
		start = end + 1;
	}
	return true;
}

} // namespace lib_zip
