// The process-wide table of handler tokens: every BHandler gets a number at construction,
// and messages and messengers name handlers by that number, never by pointer, so a message
// for a handler that has gone is dropped instead of reaching freed memory. Internal to the
// application kit.
#ifndef _TOKEN_SPACE_H
#define _TOKEN_SPACE_H

#include <SupportDefs.h>

class BHandler;

namespace BPrivate {

int32 new_handler_token(BHandler* handler);
void remove_handler_token(int32 token);
// The handler, or NULL when the token is unknown or its handler has gone.
BHandler* handler_for_token(int32 token);

} // namespace BPrivate

#endif // _TOKEN_SPACE_H
