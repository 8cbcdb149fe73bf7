#include "tests/common/fake_prompter.h"

FakePrompter::FakePrompter() { platform::SetPrompter(this); }

FakePrompter::~FakePrompter() { platform::SetPrompter(nullptr); }

int FakePrompter::Ask(const platform::Prompt& prompt)
{
    prompts.push_back(prompt);
    if (answers.empty()) return defaultAnswer;
    const int a = answers.front();
    answers.pop_front();
    return a;
}

QString FakePrompter::ChooseFile(const platform::FileRequest& request)
{
    fileRequests.push_back(request);
    if (files.empty()) return QString();
    QString f = files.front();
    files.pop_front();
    return f;
}

bool FakePrompter::InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    inputsAsked.push_back({caption, prompt, value});
    if (inputs.empty()) return false;
    value = inputs.front();
    inputs.pop_front();
    return true;
}

bool FakePrompter::ChooseColor(QColor& color)
{
    ++colorDialogs;
    if (colors.empty()) return false;
    color = colors.front();
    colors.pop_front();
    return true;
}

QStringList FakePrompter::Texts() const
{
    QStringList out;
    for (const auto& p : prompts) out << p.text;
    return out;
}

bool FakePrompter::Saw(const QString& text) const { return Texts().contains(text); }
