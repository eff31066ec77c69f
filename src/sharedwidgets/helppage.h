#pragma once

#include "helptext.h"

#include <QLabel>

#include <memory>
#include <vector>

class QTextLayout;

namespace tilmora {

// A page of instructions with the menu names in bold: a label whose text leaves blank gaps where
// a name belongs, with one small bold label per name laid over its gap.
//
// The text is painted line by line, breaking only where the page was designed to break, so the
// lines come out the same whatever font the system substitutes for Verdana. Each name label is
// placed on its gap as the text is really laid out in the font in use, on the same baseline, and
// a gap too narrow for its name in that font is widened by spacing out its spaces a little.
class HelpPage final : public QLabel
{
    Q_OBJECT
public:
    explicit HelpPage(const help::PageText& page, QWidget* parent = nullptr);
    ~HelpPage() override;

    // The text of each line as painted, from the top of the page; blank lines are empty.
    [[nodiscard]] QStringList lineTexts() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Line;
    struct NameLabel;

    void layOut();

    std::vector<Line> lines_; // the lines that hold text, blank ones left out
    std::vector<NameLabel> names_;
};

} // namespace tilmora
