#pragma once

// The small modeless window that stays open while a lane or band tool is
// current: it tells the user what to click and ends the tool with "Done".
// Closing the window counts as "Done".

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

class AddLaneBandDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDialogResource = 12096;
    static constexpr int kPromptControl = 12097;

    explicit AddLaneBandDlg(QWidget *parent = nullptr);

    // The prompt shown (control 12097); an empty prompt hides the label.
    void SetPrompt(const QString &prompt);
    QString GetPrompt() const;
    // Runs once when the user presses "Done" or closes the window.
    void SetOnDone(std::function<void()> onDone) { m_onDone = std::move(onDone); }

    QLabel *PromptLabel() const { return m_prompt; }
    QPushButton *DoneButton() const { return m_done; }

public slots:
    void OnDone();
    void reject() override;

private:
    QLabel *m_prompt;
    QPushButton *m_done;
    std::function<void()> m_onDone;
};
