#pragma once
// How the program speaks to the user in boxes. Windows take it by reference, so tests can answer
// and record instead of blocking on a modal box.

#include <QString>

class QWidget;

namespace tesmar {

class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void error(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    // Yes/No; true for Yes.
    virtual bool question(const QString& text) = 0;
    // Work would be lost: save it, let it go, or stay.
    enum class SaveAnswer { Save, Discard, Cancel };
    virtual SaveAnswer askToSave(const QString& text) = 0;
};

// After the question: true when the work may go, because the user let it go or `save` kept it.
template <typename Save>
bool SavedOrLetGo(UserMessages::SaveAnswer answer, Save&& save)
{
    return answer == UserMessages::SaveAnswer::Discard || (answer == UserMessages::SaveAnswer::Save && save());
}

// Message-table texts mark line breaks with CR; a box wants LF.
QString ToDisplayText(const QString& text);

class MessageBoxes final : public UserMessages {
public:
    explicit MessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    bool question(const QString& text) override;
    SaveAnswer askToSave(const QString& text) override;

private:
    QWidget* parent_;
};

} // namespace tesmar
