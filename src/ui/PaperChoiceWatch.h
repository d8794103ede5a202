#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QComboBox;
class QDialog;

// Tells whether the user picked a paper in a print dialog. Qt's dialog shows the printer's
// default paper, not the one the printer was given, and puts that default on the printer at
// OK; only a pick from its paper list (confirmed with OK on the page it sits on) is a choice.
// Watches while it lives.
class PaperChoiceWatch final : public QObject {
public:
    explicit PaperChoiceWatch(QDialog* dialog);
    ~PaperChoiceWatch() override;

    // A pick on a page that still belongs to the dialog: choosing another printer drops the
    // page, and with it the pick.
    bool paperChosen() const { return !chosen_.isNull(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QComboBox* paperList);
    bool inDialog(const QObject* object) const;

    QDialog* dialog_;
    QList<QPointer<QComboBox>> watched_;
    QPointer<QComboBox> picked_;
    QPointer<QComboBox> chosen_;
};
