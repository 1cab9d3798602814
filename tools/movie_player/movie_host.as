// A stand-in for the game's loader, for pictures of the shipped movie: it
// loads a movie into a clip of its own and passes the plug-in's two calls to
// the widget the movie makes, as the game calls _root.widget in the movie it
// loaded. The shipped movie has no callbacks a browser could reach; this
// movie has them. Compiled by tools/swf (qm-swfc) when pictures are taken.
//
//   Load(url)   loads the movie at url; returns true
//   Ready()     true once the loaded movie's widget answers Setup
//   Setup(x, y, scale, flags), UpdateMenu(icons, names, durabilities, colours)
//               the widget's functions; return what the widget returns

var holder = null;

function HostLoad(url) {
  holder = _root.createEmptyMovieClip("holder", 1);
  holder.loadMovie(url);
  return true;
}

function HostReady() {
  if (holder == null || holder.widget == undefined) return false;
  return typeof holder.widget.Setup == "function";
}

function HostSetup(x, y, scale, flags) {
  return holder.widget.Setup(x, y, scale, flags);
}

function HostUpdateMenu(icons, names, durabilities, colours) {
  return holder.widget.UpdateMenu(icons, names, durabilities, colours);
}

flash.external.ExternalInterface.addCallback("Load", null, HostLoad);
flash.external.ExternalInterface.addCallback("Ready", null, HostReady);
flash.external.ExternalInterface.addCallback("Setup", null, HostSetup);
flash.external.ExternalInterface.addCallback("UpdateMenu", null, HostUpdateMenu);
