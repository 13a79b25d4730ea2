// A Platform that records what the commands show and answers from queues.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillane::testing {

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
  MessageButtons buttons;
};

class FakePlatform : public Platform {
 public:
  MessageAnswer messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                           MessageButtons buttons) override {
    messages.push_back({std::string(text), std::string(title), icon, buttons});
    // Unless told otherwise, a three-way question keeps everything as it was.
    if (buttons == MessageButtons::SaveDiscardCancel && answers.empty()) return MessageAnswer::Cancel;
    if (buttons == MessageButtons::Ok || answers.empty()) return MessageAnswer::Ok;
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::string prompt(std::string_view message, std::string_view title) override {
    prompts.push_back(std::string(title) + "|" + std::string(message));
    if (promptReplies.empty()) return {};
    std::string reply = promptReplies.front();
    promptReplies.pop_front();
    return reply;
  }
  std::optional<std::string> fileDialog(FileDialogMode mode, std::string_view filter) override {
    dialogs.push_back({mode, std::string(filter), {}});
    if (fileChoices.empty()) return std::nullopt;
    auto choice = fileChoices.front();
    fileChoices.pop_front();
    return choice;
  }
  std::optional<std::string> fileDialogIn(FileDialogMode mode, std::string_view filter,
                                          const std::string& folder) override {
    auto choice = fileDialog(mode, filter);
    dialogs.back().folder = folder;
    return choice;
  }
  std::optional<BgrColour> colourDialog(std::optional<BgrColour> start) override {
    colourStarts.push_back(start);
    if (colourChoices.empty()) return std::nullopt;
    auto choice = colourChoices.front();
    colourChoices.pop_front();
    return choice;
  }
  std::optional<std::string> chooseFolder() override {
    if (folderChoices.empty()) return std::nullopt;
    auto choice = folderChoices.front();
    folderChoices.pop_front();
    return choice;
  }
  std::optional<FontChoice> chooseFont(std::string_view family) override {
    fontFamilies.emplace_back(family);
    if (fontChoices.empty()) return std::nullopt;
    auto choice = fontChoices.front();
    fontChoices.pop_front();
    return choice;
  }
  bool acceptLicence(std::string_view fontName, std::string_view heading, std::string_view licence,
                     MessageIcon icon) override {
    licences.push_back(
        {std::string(heading) + "\n" + std::string(licence), std::string(fontName), icon, MessageButtons::OkCancel});
    if (answers.empty()) return true;
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a == MessageAnswer::Ok;
  }
  void shellOpen(std::string_view target) override { opened.emplace_back(target); }
  void processEvents() override { ++eventRuns; }
  FileResult writeFile(const std::string& path, std::string_view bytes) override {
    if (failWritesWith) return {*failWritesWith};
    writes.push_back(path);
    return Platform::writeFile(path, bytes);
  }

  // The one message shown so far; a placeholder naming the count when there
  // is not exactly one, so that comparisons with it fail.
  const ShownMessage& onlyMessage() const {
    static ShownMessage wrong;
    if (messages.size() == 1) return messages.back();
    wrong = {"(" + std::to_string(messages.size()) + " messages shown, not one)", "", MessageIcon::None,
             MessageButtons::Ok};
    return wrong;
  }

  struct Dialog {
    FileDialogMode mode;
    std::string filter;
    std::string folder;  // where it opened; "" at the last chosen name
  };

  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;
  std::vector<std::string> prompts;
  std::deque<std::string> promptReplies;
  std::vector<Dialog> dialogs;
  std::deque<std::optional<std::string>> fileChoices;
  std::deque<std::optional<BgrColour>> colourChoices;
  std::vector<std::optional<BgrColour>> colourStarts;  // where each colour dialog opened
  std::deque<std::optional<std::string>> folderChoices;
  std::vector<std::string> opened;
  std::vector<std::string> fontFamilies;  // the family each font chooser opened with
  std::deque<std::optional<FontChoice>> fontChoices;
  std::vector<ShownMessage> licences;  // heading "\n" licence text, the font's name as the title
  std::vector<std::string> writes;
  std::optional<int> failWritesWith;
  int eventRuns = 0;
};

}  // namespace quillane::testing
