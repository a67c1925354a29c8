// The backup window: lists the workbooks of the tool's folder and copies them into the
// backup folder on request.
#pragma once

#include <QPoint>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;

namespace vorra::backup {

class Form1 : public QWidget {
public:
    // `toolFolder` is the program's own folder, whatever the working folder is.
    explicit Form1(std::string toolFolder, QWidget* parent = nullptr);

    void Command2_Click();
    void Command1_Click();

    // The window as shown, corners cut to the rounded outline (transparent outside).
    QImage picture();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Form_Load();

    std::string toolFolder_;
    // The listed names as the file system holds them (bytes); List1 shows them decoded.
    std::vector<std::string> names_;
    QListWidget* List1;
    QPushButton* Command2;
    QPushButton* Command1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    // Holds Label3, so that a long list of files not copied can be scrolled through.
    QScrollArea* Label3Area;
    // Where the pointer holds the window while it is dragged without the window manager.
    std::optional<QPoint> dragOffset_;
};

}  // namespace vorra::backup
