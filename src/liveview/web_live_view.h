// The live view's engine on Qt WebEngine, built as a plug-in that the editor
// loads through QPluginLoader when the view is first opened (editor/live_view.h).
#pragma once

#include <QObject>

#include "editor/live_view.h"

namespace quillane {

class WebLiveViewPlugin : public QObject, public LiveViewPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QuillaneLiveViewPlugin_iid)
  Q_INTERFACES(quillane::LiveViewPlugin)
  Q_DISABLE_COPY_MOVE(WebLiveViewPlugin)

 public:
  WebLiveViewPlugin() = default;
  std::unique_ptr<LiveViewEngine> createEngine(QWidget* parent) override;
};

}  // namespace quillane
