#pragma once

#include <QWidget>

class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;

// The parameter page of a camera detail page: a caption on the left and, behind a separator,
// a grid of six parameter fields that can be folded away.
class AWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ParamCount = 6;
    static constexpr int ParamColumns = 2;

    explicit AWidget(QWidget *parent = nullptr);

    // Hides the fields and their separator when they are shown, shows them otherwise. Decided
    // from their own hidden flag, so that it also works while the page is not on screen.
    void toggleParam();
    bool isParamShown() const;

    // Puts the picture (the page takes it) in place of the caption on the left.
    void setPicture(QWidget *picture);

private:
    Q_DISABLE_COPY(AWidget)

    QHBoxLayout *m_mainLayout = nullptr;
    QLabel *m_textLabel = nullptr;
    QFrame *m_line = nullptr;
    QWidget *m_paramArea = nullptr;
    QGridLayout *m_paramLayout = nullptr;
    QLabel *m_paramLabels[ParamCount] = {};
    QLineEdit *m_paramEdits[ParamCount] = {};
};
