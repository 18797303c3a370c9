// Dialogs that answer from a script and remember what they were asked.
#pragma once

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "window/dialogs.h"

namespace testing_support {

class ScriptedDialogs : public window::Dialogs {
  public:
    // Answers, used in order; a file answer of nullopt cancels the dialog.
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<window::MessageButton> messageAnswers;
    // Filter chosen in the next file dialogs (1-based); none: the dialog's own.
    std::deque<int> filterAnswers;
    // The states the next accepted file dialogs leave in their options; none: as shown.
    std::deque<std::vector<bool>> optionAnswers;
    // Frames chosen in the next frame dialogs; nullopt or none left: cancelled.
    std::deque<std::optional<int>> frameAnswers;
    // Beam colours chosen in the next colour dialogs; nullopt or none left: cancelled.
    std::deque<std::optional<window::BeamColourChoice>> beamAnswers;
    // Numbers given in the next number dialogs; nullopt or none left: cancelled.
    std::deque<std::optional<int>> numberAnswers;
    // The files chosen in the next dialogs of several files; none left: fileAnswers, one each.
    std::deque<QStringList> severalAnswers;

    // What was asked.
    std::vector<window::FileDialogSpec> fileDialogs;  // as they were when shown
    std::vector<bool> fileDialogWasSave;
    std::vector<window::MessageSpec> messages;
    // The frame dialogs as asked; their caption and picture functions belong to the command
    // and end with it, so the captions of every frame are kept as they read at the time.
    std::vector<window::FrameChoiceSpec> frameChoices;
    std::vector<QStringList> frameCaptions;
    std::vector<window::BeamColourRequest> beamChoices;
    std::vector<window::NumberRequest> numberRequests;

    std::optional<QString> openFile(window::FileDialogSpec& request) override {
        return answer(request, false);
    }
    std::optional<QString> saveFile(window::FileDialogSpec& request) override {
        return answer(request, true);
    }
    window::MessageButton message(const window::MessageSpec& request) override {
        messages.push_back(request);
        if (messageAnswers.empty()) {
            return request.escapeButton;  // as if the box were closed
        }
        const window::MessageButton b = messageAnswers.front();
        messageAnswers.pop_front();
        return b;
    }

    std::optional<int> chooseFrame(const window::FrameChoiceSpec& request) override {
        frameChoices.push_back(request);
        frameChoices.back().caption = nullptr;
        frameChoices.back().picture = nullptr;
        QStringList captions;
        for (int n = 1; request.caption && n <= request.count; ++n) {
            captions << request.caption(n);
        }
        frameCaptions.push_back(captions);
        if (frameAnswers.empty()) {
            return std::nullopt;
        }
        const std::optional<int> a = frameAnswers.front();
        frameAnswers.pop_front();
        return a;
    }

    std::optional<window::BeamColourChoice> chooseBeamColour(
        const window::BeamColourRequest& request) override {
        beamChoices.push_back(request);
        if (beamAnswers.empty()) {
            return std::nullopt;
        }
        const std::optional<window::BeamColourChoice> a = beamAnswers.front();
        beamAnswers.pop_front();
        return a;
    }

    std::optional<QStringList> openFiles(window::FileDialogSpec& request) override {
        if (severalAnswers.empty()) {
            return Dialogs::openFiles(request);
        }
        fileDialogs.push_back(request);
        fileDialogWasSave.push_back(false);
        const QStringList a = severalAnswers.front();
        severalAnswers.pop_front();
        request.fileName = a.value(0);
        return a;
    }

    std::optional<int> askNumber(const window::NumberRequest& request) override {
        numberRequests.push_back(request);
        if (numberAnswers.empty()) {
            return std::nullopt;
        }
        const std::optional<int> a = numberAnswers.front();
        numberAnswers.pop_front();
        return a;
    }

  private:
    std::optional<QString> answer(window::FileDialogSpec& request, bool save) {
        fileDialogs.push_back(request);
        fileDialogWasSave.push_back(save);
        if (fileAnswers.empty()) {
            return std::nullopt;
        }
        std::optional<QString> a = fileAnswers.front();
        fileAnswers.pop_front();
        if (a) {
            request.fileName = *a;
            if (!filterAnswers.empty()) {
                request.filterIndex = filterAnswers.front();
                filterAnswers.pop_front();
            }
            if (!optionAnswers.empty()) {
                for (size_t i = 0; i < request.options.size() && i < optionAnswers.front().size();
                     ++i) {
                    request.options[i].checked = optionAnswers.front()[i];
                }
                optionAnswers.pop_front();
            }
        }
        return a;
    }
};

}  // namespace testing_support
