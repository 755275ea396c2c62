// Runs before the program: the stored state is read in from the browser's
// database before the game starts, and saves are written back to it.
var Module = typeof Module !== 'undefined' ? Module : {};

// A run-time error's conversation reads standard input: in a page it ends at once.
Module.stdin = function () { return null; };

Module.preRun = (Module.preRun || []).concat(function () {
  FS.mkdir('/state');
  var refused = function (what, error) {
    // Private windows and full disks refuse storage: the game plays on.
    console.log('The game\'s state cannot be ' + what + ' in this browser (' + error + '): scores are kept only until the page closes.');
  };
  try {
    FS.mount(IDBFS, {}, '/state');
  } catch (error) {
    refused('kept', error);
    return;
  }
  addRunDependency('stored state');
  FS.syncfs(true, function (error) {
    if (error) refused('read', error);
    removeRunDependency('stored state');
  });
  // One save at a time goes to the database; a save made meanwhile follows it.
  var storing = false, again = false, warned = false;
  Module.vellumbyStoreState = function () {
    if (storing) { again = true; return; }
    storing = true;
    FS.syncfs(false, function (error) {
      storing = false;
      if (error && !warned) { warned = true; refused('stored', error); }
      if (again) { again = false; Module.vellumbyStoreState(); }
    });
  };
});

// Mobile browsers may end a hidden tab without another word: the game saves
// when the page is hidden or left.
window.addEventListener('pagehide', function () {
  if (Module._vellumby_page_hidden) Module._vellumby_page_hidden();
});
