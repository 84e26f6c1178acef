// The three message-box forms of the host-facing steps.
#pragma once

#include "platform/platform.h"

namespace quiltora {

enum class MessageForm { Question, Warning, Error };

// Shows string textId of the string table in the given form; returns the answer.
platform::MessageAnswer ShowModuleMessage(int textId, MessageForm form);

// The same with a text already formatted by the caller.
platform::MessageAnswer ShowModuleMessageText(const char* text, MessageForm form);

}  // namespace quiltora
