#pragma once

#include <QObject>
#include <stop_token>
#include <string>

#include "news/news_view.h"

class MessageBoxes;

// The news check's view in the program. The news thread calls it; the boxes
// and the web browser are reached on the UI thread through queued calls.
//
// askYesNo waits for the answer, but gives up with No as soon as the stop is
// requested or this object goes away before the question was shown; an answer
// given after that is dropped. If it is called on the UI thread itself it asks
// directly.
class QtNewsView final : public QObject, public NewsView {
    Q_OBJECT

  public:
    // Create it on the UI thread; `boxes` must outlive it and every question it
    // has queued.
    explicit QtNewsView(MessageBoxes& boxes, QObject* parent = nullptr);

    // Stores bv_lastarticleno under the settings lock, on the calling thread.
    void lastArticleRaised(int articleNo) override;
    // Asks through MessageBoxes::confirm with the application's title.
    bool askYesNo(const std::string& question, std::stop_token stop) override;
    // Queued to the UI thread; the outcome is ignored.
    void openWebPage(const std::string& url) override;
    // Queued to the UI thread; returns at once.
    void showError(const std::string& text) override;

  private:
    MessageBoxes& m_boxes;
};
