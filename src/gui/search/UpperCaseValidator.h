#pragma once

#include <QValidator>

// Turns every letter typed or pasted into the search box into its capital,
// Cyrillic letters included; the text keeps its length, so the cursor stays.
class UpperCaseValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;
};
