#include "shell/ui/web/PageScripts.h"

namespace duduri::web {

QString ClickScript(const QString& prefix) {
  // A click is judged by the nearest link or button around the element it
  // started on, so bold text or a picture inside a link is the link.
  return QStringLiteral(R"JS(
(function () {
  'use strict';
  const prefix = %1;
  const entryAction = 'ACT_NEW_HIGHSCORE_ENTRY';
  function formActions() {
    return Array.from(document.forms, function (f) { return f.getAttribute('action') || ''; });
  }
  function isEntryForm(form) {
    return !!form && (form.getAttribute('action') || '').split('/').pop() === entryAction;
  }
  function hasEntryForm() {
    return Array.from(document.forms).some(isEntryForm);
  }
  function report(facts) {
    const name = document.querySelector('input[name="HIGHSCORE_ENTRY_NAME"]');
    facts.formActions = formActions();
    facts.hasEntryName = !!name;
    facts.entryName = name ? String(name.value) : '';
    console.log(prefix + JSON.stringify(facts));
  }
  document.addEventListener('click', function (e) {
    if (e.button !== 0) return;
    let start = e.target;
    if (start && start.nodeType !== 1) start = start.parentElement;
    if (!start || !start.closest) return;
    const link = start.closest('a[href], area[href]');
    if (link) {
      e.preventDefault();
      report({kind: 'link', address: String(link.href), target: link.getAttribute('target') || ''});
      return;
    }
    const button = start.closest('button');
    if (button) {
      e.preventDefault();
      report({kind: 'button', name: button.getAttribute('name') || '',
              value: button.getAttribute('value') || ''});
      return;
    }
    if (start.tagName === 'INPUT' &&
        ['button', 'submit', 'reset', 'image'].indexOf(start.type) >= 0) {
      if (hasEntryForm() && (start.type === 'submit' || start.type === 'image')) e.preventDefault();
      report({kind: 'input'});
      return;
    }
    if (start.tagName === 'IMG') e.preventDefault();
  }, true);
  // Enter in the name field of an entry form without a submit button.
  document.addEventListener('submit', function (e) {
    if (!isEntryForm(e.target)) return;
    e.preventDefault();
    report({kind: 'input'});
  }, true);
})();
)JS")
      .arg(prefix);
}

QString MeasureScript() {
  return QStringLiteral(R"JS(
(function () {
  const b = document.body, d = document.documentElement;
  return {
    title: String(document.title || ''),
    width: Math.max(b ? b.scrollWidth : 0, d ? d.scrollWidth : 0),
    height: Math.max(b ? b.scrollHeight : 0, d ? d.scrollHeight : 0)
  };
})();
)JS");
}

QString ReplaceScript(const QString& tableJson) {
  return QStringLiteral(R"JS(
(function (table) {
  if (!document.body) return 0;
  const pattern = /HIGHSCORE_(NAME|TIME)_[0-9]/g;
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  const nodes = [];
  for (let n = walker.nextNode(); n; n = walker.nextNode()) {
    if (n.nodeValue.indexOf('HIGHSCORE_') >= 0) nodes.push(n);
  }
  let count = 0;
  nodes.forEach(function (node) {
    node.nodeValue = node.nodeValue.replace(pattern, function (m) {
      if (!Object.prototype.hasOwnProperty.call(table, m)) return m;
      ++count;
      return table[m];
    });
  });
  return count;
})(%1);
)JS")
      .arg(tableJson);
}

QString HideScrollBarsScript(bool horizontal, bool vertical) {
  return QStringLiteral(R"JS(
(function (h, v) {
  [document.documentElement, document.body].forEach(function (e) {
    if (!e) return;
    if (h) e.style.overflowX = 'hidden';
    if (v) e.style.overflowY = 'hidden';
  });
})(%1, %2);
)JS")
      .arg(horizontal ? "true" : "false", vertical ? "true" : "false");
}

}  // namespace duduri::web
