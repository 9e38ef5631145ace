#pragma once

#include <QValidator>

// The OEM-convert rule of the input boxes: only characters that code page 866 can hold are taken,
// so what is typed survives the conversion to that code page and back unchanged.
class TOemValidator : public QValidator {
    Q_OBJECT
  public:
    explicit TOemValidator(QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
};
