#include <EntryRef.h>

#include <cstdlib>
#include <cstring>

entry_ref::entry_ref() :
	device((dev_t)-1),
	directory((ino_t)-1),
	name(nullptr)
{
}

entry_ref::entry_ref(dev_t device, ino_t directory, const char* name) :
	device(device),
	directory(directory),
	name(nullptr)
{
	set_name(name);
}

entry_ref::entry_ref(const entry_ref& other) :
	device(other.device),
	directory(other.directory),
	name(nullptr)
{
	set_name(other.name);
}

entry_ref::~entry_ref()
{
	free(name);
}

status_t
entry_ref::set_name(const char* newName)
{
	free(name);
	name = nullptr;
	if (newName == nullptr)
		return B_OK;
	name = strdup(newName);
	return name != nullptr ? B_OK : B_NO_MEMORY;
}

bool
entry_ref::operator==(const entry_ref& other) const
{
	if (device != other.device || directory != other.directory)
		return false;
	if (name == nullptr || other.name == nullptr)
		return name == other.name;
	return strcmp(name, other.name) == 0;
}

bool
entry_ref::operator!=(const entry_ref& other) const
{
	return !(*this == other);
}

entry_ref&
entry_ref::operator=(const entry_ref& other)
{
	if (this == &other)
		return *this;
	device = other.device;
	directory = other.directory;
	set_name(other.name);
	return *this;
}

node_ref::node_ref() :
	device((dev_t)-1),
	node((ino_t)-1)
{
}

node_ref::node_ref(dev_t device, ino_t node) :
	device(device),
	node(node)
{
}

bool
node_ref::operator==(const node_ref& other) const
{
	return device == other.device && node == other.node;
}

bool
node_ref::operator!=(const node_ref& other) const
{
	return !(*this == other);
}

bool
node_ref::operator<(const node_ref& other) const
{
	if (device != other.device)
		return device < other.device;
	return node < other.node;
}
