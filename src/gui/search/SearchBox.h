#pragma once

#include "core/search/SearchHistory.h"

#include <QComboBox>

class IniFile;

// The search box: an editable combo box whose drop-down list is the search
// history. Typed letters become capitals, and typing completes the text
// from the history. Only AddSearchNr and LoadSearchHistory fill the list;
// the box never inserts what was typed.
class SearchBox : public QComboBox
{
    Q_OBJECT

public:
    explicit SearchBox(QWidget* parent = nullptr);

    const SearchHistory& history() const { return m_history; }
    void AddSearchNr(const QString& searchNr);
    void LoadSearchHistory(const IniFile& ini);
    void SaveSearchHistory(IniFile& ini) const;

signals:
    // Enter (or the keypad's Enter) was released in the box.
    void enterReleased();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void showHistory();
    void complete(const QString& text);

    SearchHistory m_history;
    // Set while a typed character is being inserted: only then does the
    // box complete, so Backspace and Delete can shorten the text.
    bool m_completing = false;
};
