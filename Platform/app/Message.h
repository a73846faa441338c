// BMessage: a what-code and named, typed fields, each holding one or more values. Messages
// travel between loopers and flatten to the BeOS R5 format ('FOB1', little-endian) that
// resources and attributes store.
#ifndef _MESSAGE_H
#define _MESSAGE_H

#include <AppDefs.h>
#include <GraphicsDefs.h>
#include <OS.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>
#include <TypeConstants.h>

#include <memory>

class BHandler;
class BMessenger;
struct entry_ref;

namespace BPrivate {
class MessageReplyRoute;
} // namespace BPrivate

// The longest field name a flattened message can hold.
#define B_FIELD_NAME_LENGTH 255

class BMessage {
public:
	uint32 what;

	BMessage();
	BMessage(uint32 what);
	BMessage(const BMessage& other);
	virtual ~BMessage();

	// Copies the what-code and the fields. Delivery information (reply address,
	// drop point, Previous()) is copied too, as a forwarded copy may still be
	// answered.
	BMessage& operator=(const BMessage& other);

	// Statistics and information
	// The index-th field (in insertion order) among those of typeRequested
	// (B_ANY_TYPE: all). B_BAD_TYPE when no field has the type, B_BAD_INDEX when
	// index is out of range. nameFound points into the message.
	status_t GetInfo(type_code typeRequested, int32 index, char** nameFound, type_code* typeFound,
		int32* countFound = NULL) const;
	status_t GetInfo(const char* name, type_code* typeFound, int32* countFound = NULL) const;
	status_t GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const;
	status_t GetInfo(
		const char* name, type_code* typeFound, int32* countFound, bool* fixedSize) const;

	// Number of fields of the type (B_ANY_TYPE: all fields).
	int32 CountNames(type_code type) const;
	bool IsEmpty() const;
	bool IsSystem() const;
	bool IsReply() const;
	// Writes a readable dump to standard output: a "BMessage: what = ..." line,
	// then one line per value.
	void PrintToStream() const;

	status_t Rename(const char* oldEntry, const char* newEntry);

	// Delivery information
	bool WasDelivered() const;
	bool IsSourceWaiting() const;
	bool IsSourceRemote() const;
	BMessenger ReturnAddress() const;
	// The message this one replies to, when it arrived as a synchronous reply;
	// otherwise NULL.
	const BMessage* Previous() const;
	bool WasDropped() const;
	// Where a dragged message was dropped, in screen coordinates; offset receives
	// the drop point relative to the dragged image. (0, 0) for a message that was
	// not dropped.
	BPoint DropPoint(BPoint* offset = NULL) const;

	// Replying: B_BAD_REPLY for a message that cannot be answered, B_DUPLICATE_REPLY for a
	// second reply to a sender that waits synchronously.
	status_t SendReply(uint32 command, BHandler* replyTo = NULL);
	status_t SendReply(
		BMessage* reply, BHandler* replyTo = NULL, bigtime_t timeout = B_INFINITE_TIMEOUT);
	status_t SendReply(BMessage* reply, BMessenger replyTo, bigtime_t timeout = B_INFINITE_TIMEOUT);
	status_t SendReply(uint32 command, BMessage* replyToReply);
	status_t SendReply(BMessage* reply, BMessage* replyToReply,
		bigtime_t sendTimeout = B_INFINITE_TIMEOUT, bigtime_t replyTimeout = B_INFINITE_TIMEOUT);

	// Flattening: the BeOS R5 format. Messages are written little-endian with a 17-byte
	// header; the reader also takes the big-endian form, and refuses anything malformed,
	// leaving an empty message (what 0). Pointer and messenger fields mean something only
	// in this process: they are neither written nor read. Delivery information is not
	// part of the flattened form either.
	ssize_t FlattenedSize() const;
	// B_BUFFER_OVERFLOW when size < FlattenedSize().
	status_t Flatten(char* buffer, ssize_t size) const;
	// Reads a message from a buffer known to hold at least the whole message: the
	// size in its header is trusted. Callers that know the buffer length use the
	// sized form.
	status_t Unflatten(const char* flatBuffer);
	// Reads a message from the first bytes of a buffer of size bytes; bytes after
	// the message are ignored. B_NOT_A_MESSAGE for a wrong magic, B_NOT_SUPPORTED
	// for the later formats ('FOB2', 'HMF1'), B_BAD_DATA for anything malformed.
	status_t Unflatten(const char* flatBuffer, ssize_t size);

	// Adding data. The first value of a name fixes the field's type: adding a value of
	// another type gives B_BAD_TYPE, and a value of another size to a fixed-size field
	// gives B_BAD_VALUE. Names are at most B_FIELD_NAME_LENGTH bytes; NULL is refused.
	status_t AddRect(const char* name, BRect rect);
	status_t AddPoint(const char* name, BPoint point);
	status_t AddString(const char* name, const char* string);
	status_t AddInt8(const char* name, int8 value);
	status_t AddUInt8(const char* name, uint8 value);
	status_t AddInt16(const char* name, int16 value);
	status_t AddUInt16(const char* name, uint16 value);
	status_t AddInt32(const char* name, int32 value);
	status_t AddUInt32(const char* name, uint32 value);
	status_t AddInt64(const char* name, int64 value);
	status_t AddUInt64(const char* name, uint64 value);
	status_t AddBool(const char* name, bool value);
	status_t AddFloat(const char* name, float value);
	status_t AddDouble(const char* name, double value);
	status_t AddColor(const char* name, rgb_color value);
	status_t AddPointer(const char* name, const void* pointer);
	status_t AddMessenger(const char* name, BMessenger messenger);
	status_t AddRef(const char* name, const entry_ref* ref);
	// Stores the message flattened, as BeOS does.
	status_t AddMessage(const char* name, const BMessage* message);
	// Adds one value of numBytes bytes. count only hints how many values will
	// follow. isFixedSize decides for a new field only. Data of B_MESSAGE_TYPE
	// must be a valid flattened message.
	status_t AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
		bool isFixedSize = true, int32 count = 1);

	// Adds every value of every field of message.
	status_t Append(const BMessage& message);

	// Removing data
	// Removes one value; a field whose last value goes is removed.
	status_t RemoveData(const char* name, int32 index = 0);
	status_t RemoveName(const char* name);
	// Removes every field; the what-code stays.
	status_t MakeEmpty();

	// Finding data: B_NAME_NOT_FOUND for a missing name, B_BAD_TYPE for a field of
	// another type, B_BAD_INDEX for an index out of range. The out-parameter is left alone
	// on failure, except that FindData and FindString (const char**) set it to NULL.
	status_t FindRect(const char* name, BRect* rect) const;
	status_t FindRect(const char* name, int32 index, BRect* rect) const;
	status_t FindPoint(const char* name, BPoint* point) const;
	status_t FindPoint(const char* name, int32 index, BPoint* point) const;
	// The string points into the message and lives until the field changes.
	// B_BAD_DATA for a value that is not NUL-terminated.
	status_t FindString(const char* name, const char** string) const;
	status_t FindString(const char* name, int32 index, const char** string) const;
	status_t FindInt8(const char* name, int8* value) const;
	status_t FindInt8(const char* name, int32 index, int8* value) const;
	status_t FindUInt8(const char* name, uint8* value) const;
	status_t FindUInt8(const char* name, int32 index, uint8* value) const;
	status_t FindInt16(const char* name, int16* value) const;
	status_t FindInt16(const char* name, int32 index, int16* value) const;
	status_t FindUInt16(const char* name, uint16* value) const;
	status_t FindUInt16(const char* name, int32 index, uint16* value) const;
	status_t FindInt32(const char* name, int32* value) const;
	status_t FindInt32(const char* name, int32 index, int32* value) const;
	status_t FindUInt32(const char* name, uint32* value) const;
	status_t FindUInt32(const char* name, int32 index, uint32* value) const;
	status_t FindInt64(const char* name, int64* value) const;
	status_t FindInt64(const char* name, int32 index, int64* value) const;
	status_t FindUInt64(const char* name, uint64* value) const;
	status_t FindUInt64(const char* name, int32 index, uint64* value) const;
	status_t FindBool(const char* name, bool* value) const;
	status_t FindBool(const char* name, int32 index, bool* value) const;
	status_t FindFloat(const char* name, float* value) const;
	status_t FindFloat(const char* name, int32 index, float* value) const;
	status_t FindDouble(const char* name, double* value) const;
	status_t FindDouble(const char* name, int32 index, double* value) const;
	status_t FindColor(const char* name, rgb_color* value) const;
	status_t FindColor(const char* name, int32 index, rgb_color* value) const;
	status_t FindPointer(const char* name, void** pointer) const;
	status_t FindPointer(const char* name, int32 index, void** pointer) const;
	status_t FindMessenger(const char* name, BMessenger* messenger) const;
	status_t FindMessenger(const char* name, int32 index, BMessenger* messenger) const;
	status_t FindRef(const char* name, entry_ref* ref) const;
	status_t FindRef(const char* name, int32 index, entry_ref* ref) const;
	// Unflattens the stored message into message, replacing what it held.
	status_t FindMessage(const char* name, BMessage* message) const;
	status_t FindMessage(const char* name, int32 index, BMessage* message) const;
	// data points into the message and lives until the field changes. type
	// B_ANY_TYPE matches any field.
	status_t FindData(const char* name, type_code type, const void** data, ssize_t* numBytes) const;
	status_t FindData(
		const char* name, type_code type, int32 index, const void** data, ssize_t* numBytes) const;

	// Replacing data: the same errors as Find, and B_BAD_VALUE for a value of another size
	// in a fixed-size field.
	status_t ReplaceRect(const char* name, BRect rect);
	status_t ReplaceRect(const char* name, int32 index, BRect rect);
	status_t ReplacePoint(const char* name, BPoint point);
	status_t ReplacePoint(const char* name, int32 index, BPoint point);
	status_t ReplaceString(const char* name, const char* string);
	status_t ReplaceString(const char* name, int32 index, const char* string);
	status_t ReplaceInt8(const char* name, int8 value);
	status_t ReplaceInt8(const char* name, int32 index, int8 value);
	status_t ReplaceUInt8(const char* name, uint8 value);
	status_t ReplaceUInt8(const char* name, int32 index, uint8 value);
	status_t ReplaceInt16(const char* name, int16 value);
	status_t ReplaceInt16(const char* name, int32 index, int16 value);
	status_t ReplaceUInt16(const char* name, uint16 value);
	status_t ReplaceUInt16(const char* name, int32 index, uint16 value);
	status_t ReplaceInt32(const char* name, int32 value);
	status_t ReplaceInt32(const char* name, int32 index, int32 value);
	status_t ReplaceUInt32(const char* name, uint32 value);
	status_t ReplaceUInt32(const char* name, int32 index, uint32 value);
	status_t ReplaceInt64(const char* name, int64 value);
	status_t ReplaceInt64(const char* name, int32 index, int64 value);
	status_t ReplaceUInt64(const char* name, uint64 value);
	status_t ReplaceUInt64(const char* name, int32 index, uint64 value);
	status_t ReplaceBool(const char* name, bool value);
	status_t ReplaceBool(const char* name, int32 index, bool value);
	status_t ReplaceFloat(const char* name, float value);
	status_t ReplaceFloat(const char* name, int32 index, float value);
	status_t ReplaceDouble(const char* name, double value);
	status_t ReplaceDouble(const char* name, int32 index, double value);
	status_t ReplaceColor(const char* name, rgb_color value);
	status_t ReplaceColor(const char* name, int32 index, rgb_color value);
	status_t ReplacePointer(const char* name, const void* pointer);
	status_t ReplacePointer(const char* name, int32 index, const void* pointer);
	status_t ReplaceMessenger(const char* name, BMessenger messenger);
	status_t ReplaceMessenger(const char* name, int32 index, BMessenger messenger);
	status_t ReplaceRef(const char* name, const entry_ref* ref);
	status_t ReplaceRef(const char* name, int32 index, const entry_ref* ref);
	status_t ReplaceMessage(const char* name, const BMessage* message);
	status_t ReplaceMessage(const char* name, int32 index, const BMessage* message);
	status_t ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes);
	status_t ReplaceData(
		const char* name, type_code type, int32 index, const void* data, ssize_t numBytes);

	// Comparing: the same what-code and the same fields with the same values. deep
	// compares nested messages by content rather than by their flattened bytes.
	bool HasSameData(const BMessage& other, bool ignoreFieldOrder = true, bool deep = false) const;

	// Presence tests
	bool HasRect(const char* name, int32 index = 0) const;
	bool HasPoint(const char* name, int32 index = 0) const;
	bool HasString(const char* name, int32 index = 0) const;
	bool HasInt8(const char* name, int32 index = 0) const;
	bool HasUInt8(const char* name, int32 index = 0) const;
	bool HasInt16(const char* name, int32 index = 0) const;
	bool HasUInt16(const char* name, int32 index = 0) const;
	bool HasInt32(const char* name, int32 index = 0) const;
	bool HasUInt32(const char* name, int32 index = 0) const;
	bool HasInt64(const char* name, int32 index = 0) const;
	bool HasUInt64(const char* name, int32 index = 0) const;
	bool HasBool(const char* name, int32 index = 0) const;
	bool HasFloat(const char* name, int32 index = 0) const;
	bool HasDouble(const char* name, int32 index = 0) const;
	bool HasColor(const char* name, int32 index = 0) const;
	bool HasPointer(const char* name, int32 index = 0) const;
	bool HasMessenger(const char* name, int32 index = 0) const;
	bool HasRef(const char* name, int32 index = 0) const;
	bool HasMessage(const char* name, int32 index = 0) const;
	bool HasData(const char* name, type_code type, int32 index = 0) const;

	// BeOS R5 shortcuts: the value, or zero (NULL, an invalid rectangle) when missing.
	BRect FindRect(const char* name, int32 index = 0) const;
	BPoint FindPoint(const char* name, int32 index = 0) const;
	const char* FindString(const char* name, int32 index = 0) const;
	int8 FindInt8(const char* name, int32 index = 0) const;
	int16 FindInt16(const char* name, int32 index = 0) const;
	int32 FindInt32(const char* name, int32 index = 0) const;
	int64 FindInt64(const char* name, int32 index = 0) const;
	bool FindBool(const char* name, int32 index = 0) const;
	float FindFloat(const char* name, int32 index = 0) const;
	double FindDouble(const char* name, int32 index = 0) const;

	// Getters with defaults: the value, or defaultValue when it cannot be found.
	bool GetBool(const char* name, bool defaultValue = false) const;
	bool GetBool(const char* name, int32 index, bool defaultValue) const;
	int8 GetInt8(const char* name, int8 defaultValue) const;
	int8 GetInt8(const char* name, int32 index, int8 defaultValue) const;
	uint8 GetUInt8(const char* name, uint8 defaultValue) const;
	uint8 GetUInt8(const char* name, int32 index, uint8 defaultValue) const;
	int16 GetInt16(const char* name, int16 defaultValue) const;
	int16 GetInt16(const char* name, int32 index, int16 defaultValue) const;
	uint16 GetUInt16(const char* name, uint16 defaultValue) const;
	uint16 GetUInt16(const char* name, int32 index, uint16 defaultValue) const;
	int32 GetInt32(const char* name, int32 defaultValue) const;
	int32 GetInt32(const char* name, int32 index, int32 defaultValue) const;
	uint32 GetUInt32(const char* name, uint32 defaultValue) const;
	uint32 GetUInt32(const char* name, int32 index, uint32 defaultValue) const;
	int64 GetInt64(const char* name, int64 defaultValue) const;
	int64 GetInt64(const char* name, int32 index, int64 defaultValue) const;
	uint64 GetUInt64(const char* name, uint64 defaultValue) const;
	uint64 GetUInt64(const char* name, int32 index, uint64 defaultValue) const;
	float GetFloat(const char* name, float defaultValue) const;
	float GetFloat(const char* name, int32 index, float defaultValue) const;
	double GetDouble(const char* name, double defaultValue) const;
	double GetDouble(const char* name, int32 index, double defaultValue) const;
	const char* GetString(const char* name, const char* defaultValue = NULL) const;
	const char* GetString(const char* name, int32 index, const char* defaultValue) const;
	BPoint GetPoint(const char* name, const BPoint& defaultValue) const;
	BPoint GetPoint(const char* name, int32 index, const BPoint& defaultValue) const;
	BRect GetRect(const char* name, const BRect& defaultValue) const;
	BRect GetRect(const char* name, int32 index, const BRect& defaultValue) const;
	rgb_color GetColor(const char* name, rgb_color defaultValue) const;
	rgb_color GetColor(const char* name, int32 index, rgb_color defaultValue) const;
	const void* GetPointer(const char* name, const void* defaultValue = NULL) const;
	const void* GetPointer(const char* name, int32 index, const void* defaultValue) const;

	// Setters: replace the first value, or add it when the name is missing.
	status_t SetBool(const char* name, bool value);
	status_t SetInt8(const char* name, int8 value);
	status_t SetUInt8(const char* name, uint8 value);
	status_t SetInt16(const char* name, int16 value);
	status_t SetUInt16(const char* name, uint16 value);
	status_t SetInt32(const char* name, int32 value);
	status_t SetUInt32(const char* name, uint32 value);
	status_t SetInt64(const char* name, int64 value);
	status_t SetUInt64(const char* name, uint64 value);
	status_t SetFloat(const char* name, float value);
	status_t SetDouble(const char* name, double value);
	status_t SetString(const char* name, const char* string);
	status_t SetPoint(const char* name, const BPoint& value);
	status_t SetRect(const char* name, const BRect& value);
	status_t SetColor(const char* name, rgb_color value);
	status_t SetPointer(const char* name, const void* value);
	status_t SetData(const char* name, type_code type, const void* data, ssize_t numBytes,
		bool fixedSize = true, int32 count = 1);

	// Access for the kits' internals (delivery, drag and drop); see
	// MessagePrivate.h.
	class Private;

private:
	friend class Private;

	struct Field;
	class FieldList;

	status_t _AddValue(
		const char* name, type_code type, const void* data, size_t size, bool fixedSize);
	status_t _FindValue(
		const char* name, type_code type, int32 index, const void** data, size_t* size) const;
	status_t _ReplaceValue(
		const char* name, type_code type, int32 index, const void* data, size_t size);
	status_t _SetValue(
		const char* name, type_code type, const void* data, size_t size, bool fixedSize);
	template <typename T>
	status_t _FindFixed(const char* name, type_code type, int32 index, T* value) const;
	status_t _Unflatten(const char* buffer, size_t size, int32 depth);
	void _ClearDelivery();
	void _CopyDelivery(const BMessage& other);

	std::unique_ptr<FieldList> fFields;
	// null while the message has no fields

	// Delivery information, set by the messenger layer and by drag and drop.
	std::shared_ptr<BPrivate::MessageReplyRoute> fReplyRoute;
	BMessage* fPrevious;
	// owned; the message this one answers
	BPoint fDropPoint;
	BPoint fDropOffset;
	uint32 fDeliveryFlags;
};

#endif // _MESSAGE_H
