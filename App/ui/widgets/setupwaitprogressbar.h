#pragma once

#include <QString>
#include <QWidget>

class ColorProgressBar;
class QLabel;
class QTextBrowser;
class QTimer;
class QVBoxLayout;

// The small always-on-top window shown while the program "starts": a caption with walking
// dots, a bar that counts to 100 % in about ten seconds and a log of one line per step. When
// the count is complete the window hides itself and reports completed().
class SetupWaitProgressBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int StepInterval = 100;
    static constexpr int FullCount = 100;
    static constexpr int MaxDots = 6;
    static constexpr int WindowWidth = 700;
    static constexpr int WindowHeight = 350;

    explicit SetupWaitProgressBar(QWidget *parent = nullptr);
    ~SetupWaitProgressBar() override;

    // Counts from 0 again and shows the window; the dots and the log carry over.
    void start();
    void setValue(int value);
    void setBackgroundImage(const QString &path);
    void setOpacity(float opacity);

    bool isRunning() const { return m_running; }

signals:
    void completed();

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void slotUpdateValue();

private:
    Q_DISABLE_COPY(SetupWaitProgressBar)

    QVBoxLayout *m_mainLayout;
    QLabel *m_titleLabel;
    ColorProgressBar *m_progressBar;
    QTextBrowser *m_infoBrowser;
    QTimer *m_timer;
    QString m_backgroundImagePath;
    float m_imageOpacity;
    bool m_running;
    QString m_captionText;
    int m_dotCount;
};
