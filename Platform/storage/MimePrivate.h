// The type recogniser behind update_mime_info, BNodeInfo::GetType and
// BMimeType::GuessMimeType. Private to the platform.
#ifndef _MIME_PRIVATE_H
#define _MIME_PRIVATE_H

#include <SupportDefs.h>

#include <string>

class BNode;

namespace BPrivate {

// Names entries by kind and content. Holds one libmagic handle, loaded on first use; use
// one recogniser per walk and per thread.
class TypeRecognizer {
public:
	TypeRecognizer();
	~TypeRecognizer();

	TypeRecognizer(const TypeRecognizer&) = delete;
	TypeRecognizer& operator=(const TypeRecognizer&) = delete;

	// The type of the entry at path, without following a final symbolic link.
	status_t Recognize(const char* path, std::string* type);
	// The type of a buffer's content.
	status_t RecognizeData(const void* data, size_t length, std::string* type);

private:
	bool _LoadMagic();

	void* fMagic;
	bool fMagicFailed;
};

// The absolute path that an open node has now (through its descriptor).
status_t path_of_node(const BNode* node, std::string* path);

} // namespace BPrivate

#endif // _MIME_PRIVATE_H
