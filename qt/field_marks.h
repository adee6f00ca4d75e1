// The form's strict judgement shown on its fields. A field the tracker cannot hold carries a
// warning sign (not colour alone) and says why in its tooltip and its accessible description; one
// the tracker stores otherwise says what it stores. Every field tells what its setting does.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "qt/form_binding.h"

class QAction;

class FieldMarks {
public:
    // Adds the signs to the fields of controls, which must outlive this.
    explicit FieldMarks(const Controls& controls);

    // Judges the form anew, for the generation.
    void update(std::int32_t model);
    // "Auto TX Rate: '70000' is out of range" for the field with this control, with what the
    // setting allows when asked; or what it is stored as; "" when it holds as typed or is no field.
    QString remark(int controlId, bool withAllowed = false) const;
    // The remarks of the fields the tracker cannot hold, in the form's order.
    QStringList refusals() const;
    // The first field the tracker cannot hold, nullptr when there is none.
    QWidget* firstRefused() const;

private:
    const Controls& controls_;
    std::vector<QAction*> signs_;  // per setting; nullptr for the switches
    std::vector<FieldJudgement> judged_;
};
