// LinkList: the container of the foundation library, a doubly linked list that owns its
// elements and carries one built-in cursor. Callers walk it with First() and Next() and
// remove the element under the cursor while walking.
#ifndef LINK_LIST_H
#define LINK_LIST_H

#include <SupportDefs.h>

template <class T> class ListNode {
public:
	ListNode(T* element) :
		fPrevious(nullptr),
		fNext(nullptr),
		fElement(element)
	{
	}

	// Destroying a node does not destroy its element.
	virtual ~ListNode() { }

	ListNode<T>* fPrevious;
	ListNode<T>* fNext;
	T* fElement;
};

template <class T> class LinkList {
public:
	LinkList();
	LinkList(const LinkList<T>&) = delete;
	virtual ~LinkList();

	virtual void Clear();

	virtual int32 Size() { return fCount; }

	// Appends; the list takes ownership. The cursor does not move.
	bool Insert(T* element);
	// Appends a copy of each of other's elements; other's cursor ends null.
	void Insert(LinkList<T>& other);
	int32 Copy(LinkList<T>& other);
	LinkList<T>& operator=(LinkList<T>& other);

	T* First();
	T* Next();
	T* Prev();
	ListNode<T>* Position(int32 index);
	T* Get(int32 index);

	ListNode<T>* FindNext(const T* probe);
	bool InList(T* probe);
	T* Get(const T* probe);
	int32 Position(T* probe);

	bool Remove();
	bool Remove(T* probe, bool all);
	bool Remove(int32 from, int32 to);

protected:
	void _Unlink(ListNode<T>* node);

	ListNode<T>* fFirst;
	ListNode<T>* fLast;
	ListNode<T>* fCursor;
	int32 fCount;
	int32 fCursorIndex;
};

template <class T>
LinkList<T>::LinkList() :
	fFirst(nullptr),
	fLast(nullptr),
	fCursor(nullptr),
	fCount(0),
	fCursorIndex(-1)
{
}

template <class T> LinkList<T>::~LinkList()
{
	// Not through the virtual slot: a derived part is already gone here.
	LinkList<T>::Clear();
}

template <class T>
void
LinkList<T>::Clear()
{
	ListNode<T>* node = fFirst;
	while (node != nullptr) {
		ListNode<T>* next = node->fNext;
		delete node->fElement;
		delete node;
		node = next;
	}
	fFirst = fLast = fCursor = nullptr;
	fCount = 0;
	fCursorIndex = -1;
}

template <class T>
bool
LinkList<T>::Insert(T* element)
{
	if (element == nullptr)
		return false;

	ListNode<T>* node = new ListNode<T>(element);
	node->fPrevious = fLast;
	if (fLast != nullptr)
		fLast->fNext = node;
	else
		fFirst = node;
	fLast = node;
	fCount++;
	return true;
}

template <class T>
void
LinkList<T>::Insert(LinkList<T>& other)
{
	// The count is taken first so that inserting a list into itself copies each element
	// once instead of walking into the copies.
	int32 count = other.fCount;
	T* element = other.First();
	for (int32 i = 0; i < count && element != nullptr; i++) {
		T* copy = new T();
		*copy = *element;
		Insert(copy);
		element = other.Next();
	}
	other.fCursor = nullptr;
	other.fCursorIndex = -1;
}

template <class T>
int32
LinkList<T>::Copy(LinkList<T>& other)
{
	Clear();
	Insert(other);
	return fCount;
}

template <class T>
LinkList<T>&
LinkList<T>::operator=(LinkList<T>& other)
{
	if (&other != this)
		Copy(other);
	return *this;
}

template <class T>
T*
LinkList<T>::First()
{
	fCursor = fFirst;
	fCursorIndex = fCursor != nullptr ? 0 : -1;
	return fCursor != nullptr ? fCursor->fElement : nullptr;
}

template <class T>
T*
LinkList<T>::Next()
{
	if (fCursor == nullptr)
		return nullptr;

	fCursor = fCursor->fNext;
	if (fCursor == nullptr) {
		fCursorIndex = -1;
		return nullptr;
	}
	fCursorIndex++;
	return fCursor->fElement;
}

template <class T>
T*
LinkList<T>::Prev()
{
	if (fCursor == nullptr)
		return nullptr;

	fCursor = fCursor->fPrevious;
	if (fCursor == nullptr) {
		fCursorIndex = -1;
		return nullptr;
	}
	fCursorIndex--;
	return fCursor->fElement;
}

template <class T>
ListNode<T>*
LinkList<T>::Position(int32 index)
{
	if (fCount == 0)
		return nullptr;

	int32 target = index;
	if (target < 0)
		target = 0;
	if (target > fCount - 1)
		target = fCount - 1;

	int32 fromCursor = fCursorIndex - target;
	if (fromCursor < 0)
		fromCursor = -fromCursor;

	if (fCursor != nullptr && fCursorIndex >= 0 && fromCursor < target) {
		while (fCursorIndex < target) {
			fCursor = fCursor->fNext;
			fCursorIndex++;
		}
		while (fCursorIndex > target) {
			fCursor = fCursor->fPrevious;
			fCursorIndex--;
		}
	} else if (fCount - target < target) {
		fCursor = fLast;
		for (int32 i = fCount - 1; i > target; i--)
			fCursor = fCursor->fPrevious;
	} else {
		fCursor = fFirst;
		for (int32 i = 0; i < target; i++)
			fCursor = fCursor->fNext;
	}
	fCursorIndex = target;
	return fCursor;
}

template <class T>
T*
LinkList<T>::Get(int32 index)
{
	ListNode<T>* node = Position(index);
	return node != nullptr ? node->fElement : nullptr;
}

template <class T>
ListNode<T>*
LinkList<T>::FindNext(const T* probe)
{
	if (probe != nullptr) {
		for (; fCursor != nullptr; fCursor = fCursor->fNext, fCursorIndex++) {
			if (*fCursor->fElement == *probe)
				return fCursor;
		}
	}
	fCursor = nullptr;
	fCursorIndex = -1;
	return nullptr;
}

template <class T>
bool
LinkList<T>::InList(T* probe)
{
	First();
	return FindNext(probe) != nullptr;
}

template <class T>
T*
LinkList<T>::Get(const T* probe)
{
	First();
	ListNode<T>* node = FindNext(probe);
	return node != nullptr ? node->fElement : nullptr;
}

template <class T>
int32
LinkList<T>::Position(T* probe)
{
	if (probe != nullptr)
		Get(static_cast<const T*>(probe));
	return fCursorIndex;
}

template <class T>
void
LinkList<T>::_Unlink(ListNode<T>* node)
{
	if (node->fPrevious != nullptr)
		node->fPrevious->fNext = node->fNext;
	else
		fFirst = node->fNext;
	if (node->fNext != nullptr)
		node->fNext->fPrevious = node->fPrevious;
	else
		fLast = node->fPrevious;
	fCount--;
}

template <class T>
bool
LinkList<T>::Remove()
{
	if (fCursor == nullptr)
		return false;

	ListNode<T>* node = fCursor;
	_Unlink(node);

	// The cursor lands on the predecessor, so a First/Next walk that removes the element
	// it stands on visits the following element next.
	if (node->fPrevious != nullptr) {
		fCursor = node->fPrevious;
		fCursorIndex--;
	} else {
		fCursor = fFirst;
		fCursorIndex = fCursor != nullptr ? 0 : -1;
	}

	delete node->fElement;
	delete node;
	return true;
}

template <class T>
bool
LinkList<T>::Remove(T* probe, bool all)
{
	if (probe == nullptr)
		return false;

	// The probe may be one of the list's own elements, which the first removal destroys:
	// compare against a copy.
	T value;
	value = *probe;

	First();
	while (FindNext(&value) != nullptr) {
		Remove();
		if (!all)
			return true;
	}
	// With all set, the answer is that of the last, unsuccessful search: false.
	return false;
}

template <class T>
bool
LinkList<T>::Remove(int32 from, int32 to)
{
	if (to < from || fCount == 0)
		return false;

	ListNode<T>* first = Position(from);
	int32 firstIndex = fCursorIndex;
	ListNode<T>* last = Position(to);
	int32 lastIndex = fCursorIndex;

	ListNode<T>* before = first->fPrevious;
	ListNode<T>* node = first;
	for (int32 i = firstIndex; i <= lastIndex; i++) {
		ListNode<T>* next = node->fNext;
		bool wasLast = node == last;
		_Unlink(node);
		delete node->fElement;
		delete node;
		if (wasLast)
			break;
		node = next;
	}

	fCursor = before;
	fCursorIndex = before != nullptr ? firstIndex - 1 : -1;
	return true;
}

#endif // LINK_LIST_H
