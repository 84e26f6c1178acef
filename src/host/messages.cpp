#include "host/messages.h"

#include "resources/resource_ids.h"

namespace quiltora {
namespace {

struct FormInfo {
  int captionId;
  bool beep;
  platform::MessageStyle style;
};

FormInfo InfoOf(MessageForm form) {
  switch (form) {
    case MessageForm::Question: return {IDS_CAPTION_QUESTION, false, platform::MessageStyle::Question};
    case MessageForm::Warning: return {IDS_CAPTION_WARNING, false, platform::MessageStyle::Warning};
    case MessageForm::Error: break;
  }
  return {IDS_CAPTION_ERROR, true, platform::MessageStyle::Error};
}

}  // namespace

platform::MessageAnswer ShowModuleMessageText(const char* text, MessageForm form) {
  const FormInfo info = InfoOf(form);
  char caption[80];
  platform::LoadModuleString(info.captionId, caption, sizeof caption);
  return platform::ShowMessage(text, caption, info.style, info.beep);
}

platform::MessageAnswer ShowModuleMessage(int textId, MessageForm form) {
  char text[256];
  platform::LoadModuleString(textId, text, sizeof text);
  return ShowModuleMessageText(text, form);
}

}  // namespace quiltora
