#pragma once
// A prompter for tests: records every message box and file dialog and answers them from a
// queue (or with a default answer), never showing anything.
#include "platform/prompter.h"

#include <QStringList>
#include <deque>
#include <vector>

class FakePrompter : public platform::IPrompter {
public:
    FakePrompter();    // installs itself
    ~FakePrompter() override;   // restores the real dialogs

    int Ask(const platform::Prompt& prompt) override;
    QString ChooseFile(const platform::FileRequest& request) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool ChooseColor(QColor& color) override;

    // Answers given in order; when the queue is empty, defaultAnswer is given.
    std::deque<int> answers;
    int defaultAnswer = platform::mrOk;
    std::deque<QString> files;   // file dialog answers; empty queue = cancelled

    std::vector<platform::Prompt> prompts;   // every message box asked, in order
    std::vector<platform::FileRequest> fileRequests;

    // Input box answers in order; an empty queue cancels. Each box asked is recorded as
    // caption, prompt and the offered text.
    std::deque<QString> inputs;
    struct InputAsked {
        QString caption, prompt, offered;
    };
    std::vector<InputAsked> inputsAsked;
    // Colour dialog answers in order; an empty queue cancels.
    std::deque<QColor> colors;
    int colorDialogs = 0;

    QStringList Texts() const;
    bool Saw(const QString& text) const;   // some prompt's text equals text
};
