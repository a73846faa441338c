#include "TokenSpace.h"

#include <mutex>
#include <unordered_map>

namespace {

struct TokenTable {
	std::mutex lock;
	std::unordered_map<int32, BHandler*> handlers;
	int32 nextToken = 1;
};

// Handlers may be destroyed by static destructors at exit, after a static table would be.
TokenTable&
token_table()
{
	static TokenTable* table = new TokenTable;
	return *table;
}

} // namespace

namespace BPrivate {

int32
new_handler_token(BHandler* handler)
{
	TokenTable& table = token_table();
	std::lock_guard<std::mutex> locker(table.lock);
	// Tokens are never reused, so an old messenger cannot reach a newer handler.
	const int32 token = table.nextToken++;
	table.handlers[token] = handler;
	return token;
}

void
remove_handler_token(int32 token)
{
	TokenTable& table = token_table();
	std::lock_guard<std::mutex> locker(table.lock);
	table.handlers.erase(token);
}

BHandler*
handler_for_token(int32 token)
{
	TokenTable& table = token_table();
	std::lock_guard<std::mutex> locker(table.lock);
	auto found = table.handlers.find(token);
	return found != table.handlers.end() ? found->second : nullptr;
}

} // namespace BPrivate
