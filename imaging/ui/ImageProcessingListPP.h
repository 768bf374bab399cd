#pragma once

// A page listing what has been done to a picture: one line per entry of its
// processing history, oldest first.

#include <QStringList>
#include <QWidget>

class QListWidget;
class TVFImage;

class ImageProcessingListPP : public QWidget
{
    Q_OBJECT
public:
    explicit ImageProcessingListPP(TVFImage *pImage, QWidget *parent = nullptr);
    ~ImageProcessingListPP() override;

    // Fills the list from the picture's history.
    void OnInitDialog();
    QListWidget *GetList() const { return m_pList; }

    // Every "{" ... "}" of the history, braces included, in order. A "{"
    // without its "}" ends the scan.
    static QStringList SplitHistory(const QString &history);

private:
    TVFImage *m_pImage; // not owned
    QListWidget *m_pList;
};
