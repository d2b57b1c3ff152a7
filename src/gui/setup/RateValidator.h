#pragma once

#include <QValidator>

// Lets a rate field hold only the characters a number can be typed with.
// Whether the text is a number is decided when it is written into the
// record, which names the field in its message.
class RateValidator : public QValidator
{
    Q_OBJECT

public:
    explicit RateValidator(QObject* parent = nullptr);

    State validate(QString& input, int& position) const override;
};
