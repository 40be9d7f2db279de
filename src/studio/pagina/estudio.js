// The studio's page: the form's text beside the page as morvpdf draws it, drawn again as the text
// changes, and the real report page by page. Everything the page knows of the form comes from
// the studio, which asks the programs themselves: the outlines are where the back-end inked each
// line's object, the messages are the loader's and the run's own. The page never reads the
// format itself.
"use strict";

(() => {
  // A render waits for a pause in typing of this long.
  const PAUSA_MS = 250;
  // CSS pixels to the inch at 100%.
  const DPI_TELA = 96;
  const DPI_MINIMO = 10;
  const DPI_MAXIMO = 400;
  // Room around the page in the view, in CSS pixels (the sheet's margin on each side).
  const MARGEM_FOLHA = 16;
  // An outline is at least this many CSS pixels in each direction, so that a thin line can be
  // grasped.
  const CONTORNO_MINIMO = 6;
  // A drag shorter than this is a click.
  const ARRASTO_MINIMO = 3;
  // The arrow keys move a selected object by these many inches.
  const PASSO = 0.01;
  const PASSO_LARGO = 0.1;
  // Until the first render tells the paper, the page is taken for A4.
  const PAPEL_INICIAL = [8.27, 11.69];

  const $ = (id) => document.getElementById(id);
  const editor = $("texto");
  const numeros = $("numeros");
  const imagem = $("pagina");
  const folha = $("folha");
  const rolagem = $("rolagem");
  const contornos = $("contornos");
  const lista = $("mensagens");
  const relatorio = $("relatorio");

  const estado = {
    salvo: "",
    conjunto: "utf-8",
    paginas: 1,
    pagina: 1,
    lado: 0,
    zoom: "inteira",
    grade: false,
    vista: "morvpdf",
    vistas: {},
    // Of the picture shown: its resolution, paper, form origin and objects.
    dpi: 0,
    papel: PAPEL_INICIAL,
    origem: [0, 0],
    objetos: [],
    utf8: false,
    selecionada: 0,
    cursor: 0,
    sequencia: 0,
    linhasEditor: 0,
    ajustouZoom: false,
  };

  // ---- Talking to the studio.
  async function pede(caminho, corpo) {
    const opcoes = corpo === undefined ? {} : {
      method: "POST",
      body: corpo,
      headers: { "Content-Type": "text/plain; charset=utf-8" },
    };
    const resposta = await fetch(caminho, opcoes);
    return resposta.json();
  }

  // ---- The editor's lines.
  function alturaLinha() {
    return parseFloat(getComputedStyle(editor).lineHeight) || 18;
  }

  function linhaDoCursor(posicao) {
    let linha = 1;
    const texto = editor.value;
    for (let i = 0; i < posicao && i < texto.length; i++) if (texto.charCodeAt(i) === 10) linha++;
    return linha;
  }

  // Where line n (from 1) starts and ends in the text, its line end left out.
  function limitesDaLinha(n) {
    const texto = editor.value;
    let inicio = 0;
    for (let l = 1; l < n; l++) {
      const fim = texto.indexOf("\n", inicio);
      if (fim < 0) return null;
      inicio = fim + 1;
    }
    let fim = texto.indexOf("\n", inicio);
    if (fim < 0) fim = texto.length;
    return [inicio, fim];
  }

  function atualizaNumeros() {
    const total = editor.value.split("\n").length;
    if (total !== estado.linhasEditor) {
      const partes = [];
      for (let i = 1; i <= total; i++) partes.push(`<div data-n="${i}">${i}</div>`);
      numeros.innerHTML = partes.join("") + "<div></div>";
      estado.linhasEditor = total;
      marcaErroNoEditor();
    }
    numeros.scrollTop = editor.scrollTop;
    posicionaMarcas();
  }

  // The bands behind the editor's text: the selected line, and the line of a load error.
  let linhaErro = 0;
  let mensagemErro = "";

  function posicionaMarca(elemento, linha) {
    if (!linha) {
      elemento.style.display = "none";
      return;
    }
    const topo = 4 + (linha - 1) * alturaLinha() - editor.scrollTop;
    elemento.style.display = topo < -alturaLinha() || topo > editor.clientHeight ? "none" : "block";
    elemento.style.top = `${topo}px`;
  }

  function posicionaMarcas() {
    posicionaMarca($("marca-linha"), estado.selecionada);
    posicionaMarca($("marca-erro"), linhaErro);
  }

  function marcaErroNoEditor() {
    for (const d of numeros.querySelectorAll(".erro")) d.classList.remove("erro");
    const marca = $("marca-erro");
    marca.textContent = mensagemErro;
    if (linhaErro) {
      marca.dataset.mensagemLinha = String(linhaErro);
      const n = numeros.querySelector(`[data-n="${linhaErro}"]`);
      if (n) n.classList.add("erro");
    } else {
      delete marca.dataset.mensagemLinha;
    }
    posicionaMarcas();
  }

  function marcaLinhaAtual() {
    for (const d of numeros.querySelectorAll(".atual")) d.classList.remove("atual");
    const n = numeros.querySelector(`[data-n="${estado.selecionada}"]`);
    if (n) n.classList.add("atual");
    for (const c of contornos.children)
      c.classList.toggle("selecionado", Number(c.dataset.linha) === estado.selecionada);
    posicionaMarcas();
  }

  // Selects line n in the editor, as a click on its object asks, without taking the keyboard
  // from the page (the arrow keys move the object).
  function selecionaLinha(n) {
    const limites = limitesDaLinha(n);
    if (!limites) return;
    estado.selecionada = n;
    editor.setSelectionRange(limites[0], limites[1]);
    const altura = alturaLinha();
    const topo = (n - 1) * altura;
    if (topo < editor.scrollTop || topo + altura > editor.scrollTop + editor.clientHeight)
      editor.scrollTop = Math.max(0, topo - editor.clientHeight / 3);
    atualizaNumeros();
    marcaLinhaAtual();
  }

  // Replaces line n by `texto` as one step of the editor's own undo.
  function substituiLinha(n, texto) {
    const limites = limitesDaLinha(n);
    if (!limites) return;
    const foco = document.activeElement;
    editor.focus({ preventScroll: true });
    editor.setSelectionRange(limites[0], limites[1]);
    document.execCommand("insertText", false, texto);
    if (foco && foco !== editor) foco.focus({ preventScroll: true });
    selecionaLinha(n);
  }

  function insereNoCursor(texto, linhaInteira) {
    editor.focus({ preventScroll: true });
    const posicao = Math.min(estado.cursor, editor.value.length);
    editor.setSelectionRange(posicao, posicao);
    let inserido = texto;
    if (linhaInteira) {
      if (posicao > 0 && editor.value[posicao - 1] !== "\n") inserido = "\n" + inserido;
      inserido += "\n";
    }
    document.execCommand("insertText", false, inserido);
    estado.cursor = editor.selectionStart;
  }

  // ---- Saving.
  function mostraEstadoSalvo(texto) {
    const elemento = $("estado-salvo");
    const sujo = editor.value !== estado.salvo;
    elemento.textContent = texto || (sujo ? "alterado" : "salvo");
    elemento.classList.toggle("sujo", sujo);
  }

  async function salva() {
    const texto = editor.value;
    try {
      const r = await pede("api/salvar", texto);
      if (r.salvo !== undefined) {
        estado.salvo = texto;
        mostraEstadoSalvo();
      } else {
        mostraEstadoSalvo(r.erro || "erro ao salvar");
      }
    } catch (e) {
      mostraEstadoSalvo("o estúdio não respondeu");
    }
  }

  // ---- The picture.
  function pixelsPorPolegada() {
    return estado.dpi / (window.devicePixelRatio || 1);
  }

  function dpiDaTela() {
    if (estado.zoom !== "inteira") return DPI_TELA * Number(estado.zoom);
    const largura = (rolagem.clientWidth - 2 * MARGEM_FOLHA) / estado.papel[0];
    const altura = (rolagem.clientHeight - 2 * MARGEM_FOLHA) / estado.papel[1];
    return Math.min(largura, altura);
  }

  function dpiPedido() {
    const dpi = Math.floor(dpiDaTela() * (window.devicePixelRatio || 1));
    return Math.max(DPI_MINIMO, Math.min(DPI_MAXIMO, dpi));
  }

  let espera = 0;
  function agendaDesenho(imediato) {
    clearTimeout(espera);
    espera = setTimeout(desenha, imediato ? 0 : PAUSA_MS);
  }

  async function desenha() {
    const sequencia = ++estado.sequencia;
    const parametros = new URLSearchParams({
      pagina: String(estado.pagina),
      lado: String(estado.lado),
      dpi: String(dpiPedido()),
      grade: estado.grade ? "1" : "0",
      vista: estado.vista,
    });
    let r;
    try {
      r = await pede(`api/desenho?${parametros}`, editor.value);
    } catch (e) {
      if (sequencia === estado.sequencia)
        mostraResultado({ ok: false, falha: "O estúdio não respondeu", avisos: [], conferencia: [] });
      return;
    }
    // A newer text is being drawn: this one is of no more use.
    if (sequencia !== estado.sequencia || r.superado) return;
    // The studio could not draw this text at all: it says why.
    if (typeof r.erro === "string") r = { ok: false, falha: r.erro, avisos: [], conferencia: [] };
    mostraResultado(r);
  }

  function mostraResultado(r) {
    const bom = r.ok && !r.falha && r.png;
    linhaErro = r.erro && r.erro.linha ? r.erro.linha : 0;
    mensagemErro = r.erro ? r.erro.mensagem : "";
    marcaErroNoEditor();
    if (bom) {
      imagem.src = `data:image/png;base64,${r.png}`;
      imagem.dataset.dpi = String(r.dpi);
      imagem.dataset.pagina = String(r.pagina);
      imagem.dataset.lado = String(r.lado);
      imagem.dataset.vista = r.vista;
      const escala = window.devicePixelRatio || 1;
      imagem.style.width = `${r.largura / escala}px`;
      imagem.style.height = `${r.altura / escala}px`;
      estado.dpi = r.dpi;
      estado.papel = r.papel;
      estado.origem = r.origem;
      estado.objetos = r.objetos;
      folha.classList.remove("desatualizada");
      desenhaContornos();
    } else {
      folha.classList.add("desatualizada");
    }
    if (r.lados !== undefined) {
      const verso = document.querySelector('#lados [data-lado="1"]');
      verso.disabled = r.lados < 2;
      // A form without a back side shows the front.
      if (r.lado !== estado.lado && bom) {
        estado.lado = r.lado;
        escolhe("lados", "lado", String(r.lado));
      }
    }
    mostraMensagens(r);
    if (r.utf8 !== undefined && r.utf8 !== estado.utf8) {
      estado.utf8 = r.utf8;
      carregaRelatorio();
    }
    // The whole page's zoom is known only once the paper is.
    if (bom && estado.zoom === "inteira" && !estado.ajustouZoom && dpiPedido() !== Math.round(r.dpi)) {
      estado.ajustouZoom = true;
      agendaDesenho(true);
      return;
    }
    estado.ajustouZoom = false;
    desenhaReguas();
  }

  function mostraMensagens(r) {
    lista.innerHTML = "";
    const item = (classe, texto, linha, pagina) => {
      const li = document.createElement("li");
      li.className = classe;
      if (linha) li.dataset.mensagemLinha = String(linha);
      const onde = [];
      if (pagina) onde.push(`página ${pagina}`);
      if (linha) onde.push(`linha ${linha}`);
      if (onde.length) {
        const span = document.createElement("span");
        span.className = "onde";
        span.textContent = onde.join(", ") + ":";
        li.appendChild(span);
      }
      li.appendChild(document.createTextNode(texto));
      if (linha) li.addEventListener("click", () => selecionaLinha(linha));
      lista.appendChild(li);
    };
    if (r.falha) item("erro", r.falha, 0, 0);
    if (r.erro) item("erro", r.erro.mensagem, r.erro.linha, 0);
    for (const a of r.avisos || []) item("aviso", a.mensagem, a.linha, a.pagina);
    for (const c of r.conferencia || []) item("conferencia", c.mensagem, c.linha, 0);
    if (!lista.children.length) item("nada", "Nenhuma mensagem.", 0, 0);
  }

  // ---- The objects on the page: where the back-end inked each line's object.
  function desenhaContornos() {
    contornos.innerHTML = "";
    const px = pixelsPorPolegada();
    const caixas = [];
    for (const o of estado.objetos)
      for (const c of o.caixas) caixas.push({ linha: o.linha, x: c[0], y: c[1], l: c[2], a: c[3] });
    // The smaller on top: a text inside a box is grasped before the box.
    caixas.sort((p, q) => q.l * q.a - p.l * p.a);
    for (const c of caixas) {
      let x = c.x * px;
      let y = c.y * px;
      let l = c.l * px;
      let a = c.a * px;
      if (l < CONTORNO_MINIMO) {
        x -= (CONTORNO_MINIMO - l) / 2;
        l = CONTORNO_MINIMO;
      }
      if (a < CONTORNO_MINIMO) {
        y -= (CONTORNO_MINIMO - a) / 2;
        a = CONTORNO_MINIMO;
      }
      const d = document.createElement("div");
      d.className = "contorno";
      d.dataset.linha = String(c.linha);
      d.style.left = `${x}px`;
      d.style.top = `${y}px`;
      d.style.width = `${l}px`;
      d.style.height = `${a}px`;
      contornos.appendChild(d);
    }
    marcaLinhaAtual();
  }

  // Moves are made one after the other, each on the text the one before left.
  let movimentos = Promise.resolve();
  function move(linha, dx, dy) {
    movimentos = movimentos.then(async () => {
      const parametros = new URLSearchParams({ linha: String(linha), dx: dx.toFixed(2), dy: dy.toFixed(2) });
      try {
        const r = await pede(`api/mover?${parametros}`, editor.value);
        if (r.texto !== undefined) substituiLinha(linha, r.texto);
        else mostraEstadoSalvo(r.erro);
      } catch (e) {
        mostraEstadoSalvo("o estúdio não respondeu");
      }
    });
    return movimentos;
  }

  let arrasto = null;
  contornos.addEventListener("mousedown", (e) => {
    const alvo = e.target.closest(".contorno");
    if (!alvo || e.button !== 0) return;
    e.preventDefault();
    rolagem.focus({ preventScroll: true });
    const linha = Number(alvo.dataset.linha);
    selecionaLinha(linha);
    arrasto = {
      linha,
      x: e.clientX,
      y: e.clientY,
      elementos: [...contornos.querySelectorAll(`[data-linha="${linha}"]`)],
    };
  });

  document.addEventListener("mousemove", (e) => {
    mostraPosicao(e);
    if (!arrasto) return;
    const dx = e.clientX - arrasto.x;
    const dy = e.clientY - arrasto.y;
    for (const el of arrasto.elementos) el.style.transform = `translate(${dx}px, ${dy}px)`;
  });

  document.addEventListener("mouseup", (e) => {
    if (!arrasto) return;
    const a = arrasto;
    arrasto = null;
    const dx = e.clientX - a.x;
    const dy = e.clientY - a.y;
    if (Math.hypot(dx, dy) < ARRASTO_MINIMO) {
      for (const el of a.elementos) el.style.transform = "";
      return;
    }
    const px = pixelsPorPolegada();
    move(a.linha, Math.round((dx / px) * 100) / 100, Math.round((dy / px) * 100) / 100);
  });

  rolagem.addEventListener("keydown", (e) => {
    const setas = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
    if (!(e.key in setas) || !estado.selecionada) return;
    if (!contornos.querySelector(`[data-linha="${estado.selecionada}"]`)) return;
    e.preventDefault();
    const passo = e.shiftKey ? PASSO_LARGO : PASSO;
    move(estado.selecionada, setas[e.key][0] * passo, setas[e.key][1] * passo);
  });

  // The pointer's place in the form's own coordinates: inches from the form's origin.
  function mostraPosicao(e) {
    const px = pixelsPorPolegada();
    const caixa = imagem.getBoundingClientRect();
    const dentro = px > 0 && e.clientX >= caixa.left && e.clientX <= caixa.right &&
      e.clientY >= caixa.top && e.clientY <= caixa.bottom;
    if (!dentro) return;
    const x = (e.clientX - caixa.left) / px + estado.origem[0];
    const y = (e.clientY - caixa.top) / px + estado.origem[1];
    $("posicao").textContent = `x ${x.toFixed(2)}  y ${y.toFixed(2)} pol`;
  }

  // ---- The rulers: the form's inches, a mark every tenth.
  function desenhaRegua(canvas, horizontal) {
    const escala = window.devicePixelRatio || 1;
    const largura = canvas.clientWidth;
    const altura = canvas.clientHeight;
    canvas.width = Math.round(largura * escala);
    canvas.height = Math.round(altura * escala);
    const g = canvas.getContext("2d");
    g.setTransform(escala, 0, 0, escala, 0, 0);
    g.clearRect(0, 0, largura, altura);
    const px = pixelsPorPolegada();
    if (!px) return;
    const inicio = horizontal ? folha.offsetLeft - rolagem.scrollLeft : folha.offsetTop - rolagem.scrollTop;
    const origem = horizontal ? estado.origem[0] : estado.origem[1];
    const comprimento = horizontal ? largura : altura;
    const espessura = horizontal ? altura : largura;
    g.strokeStyle = "#777";
    g.fillStyle = "#444";
    g.font = "9px sans-serif";
    g.lineWidth = 1;
    const primeiro = Math.ceil((origem - inicio / px) * 10);
    const ultimo = Math.floor((origem + (comprimento - inicio) / px) * 10);
    g.beginPath();
    for (let k = primeiro; k <= ultimo; k++) {
      const pos = Math.round(inicio + (k / 10 - origem) * px) + 0.5;
      const marca = k % 10 === 0 ? espessura * 0.6 : k % 5 === 0 ? espessura * 0.4 : espessura * 0.2;
      if (horizontal) {
        g.moveTo(pos, espessura);
        g.lineTo(pos, espessura - marca);
      } else {
        g.moveTo(espessura, pos);
        g.lineTo(espessura - marca, pos);
      }
      if (k % 10 === 0) {
        if (horizontal) g.fillText(String(k / 10), pos + 2, 9);
        else g.fillText(String(k / 10), 2, pos + 10);
      }
    }
    g.stroke();
  }

  function desenhaReguas() {
    desenhaRegua($("regua-x"), true);
    desenhaRegua($("regua-y"), false);
  }

  // ---- The report, page by page, as the programs read it.
  function reguaDeColunas(colunas) {
    let regua = "";
    for (let i = 1; i <= colunas; i++)
      regua += i % 10 === 0 ? String((i / 10) % 10) : i % 5 === 0 ? "+" : ".";
    return regua;
  }

  async function carregaRelatorio() {
    let r;
    try {
      r = await pede(`api/pagina?n=${estado.pagina}&utf8=${estado.utf8 ? 1 : 0}`);
    } catch (e) {
      return;
    }
    if (!r.linhas || r.pagina !== estado.pagina) return;
    relatorio.innerHTML = "";
    const colunas = Math.max(80, ...r.linhas.map((l) => Array.from(l.t).length));
    const linha = (classe, numero, secao, texto) => {
      const div = document.createElement("div");
      div.className = `linha ${classe}`;
      const n = document.createElement("span");
      n.className = "num";
      n.textContent = numero;
      const s = document.createElement("span");
      s.className = "secao";
      s.textContent = secao;
      const t = document.createElement("span");
      t.className = "texto";
      t.textContent = texto;
      div.append(n, s, t);
      relatorio.appendChild(div);
      return div;
    };
    linha("regua-colunas", "", "", reguaDeColunas(colunas));
    r.linhas.forEach((l, i) => {
      const classe = l.m ? "marcador" : l.s ? "em-secao" : "";
      const div = linha(classe, String(i + 1), l.s ? `s${l.s}` : "", l.t);
      div.dataset.n = String(i + 1);
      div.dataset.secao = String(l.m ? 0 : l.s);
    });
    escolha = null;
    $("oferta").hidden = true;
  }

  // Columns of a report line chosen with the mouse: the capture item that cuts them, counted
  // in characters as the programs count them.
  let escolha = null;

  // The characters of a line's text before a point of it (a text node and an offset in it).
  function caracteresAte(texto, no, deslocamento) {
    const percurso = document.createTreeWalker(texto, NodeFilter.SHOW_TEXT);
    let antes = "";
    for (let t = percurso.nextNode(); t; t = percurso.nextNode()) {
      if (t === no) return Array.from(antes + t.data.slice(0, deslocamento)).length;
      antes += t.data;
    }
    return Array.from(antes).length;
  }

  function colunasEscolhidas() {
    const selecao = window.getSelection();
    if (!selecao.rangeCount || selecao.isCollapsed) return null;
    const faixa = selecao.getRangeAt(0);
    const noTexto = (no) => (no.nodeType === Node.TEXT_NODE ? no.parentElement : no);
    const inicio = noTexto(faixa.startContainer).closest(".texto");
    if (!inicio || !relatorio.contains(inicio)) return null;
    const fimNoMesmo = noTexto(faixa.endContainer).closest(".texto") === inicio;
    const primeiro = caracteresAte(inicio, faixa.startContainer, faixa.startOffset);
    const ultimo = fimNoMesmo ? caracteresAte(inicio, faixa.endContainer, faixa.endOffset)
      : Array.from(inicio.textContent).length;
    if (ultimo <= primeiro) return null;
    const div = inicio.closest(".linha");
    return { texto: inicio, coluna: primeiro + 1, tamanho: ultimo - primeiro, secao: Number(div.dataset.secao || 0) };
  }

  // The chosen columns stay marked on their line while the designer names them.
  function marcaColunas() {
    for (const m of relatorio.querySelectorAll(".texto.com-escolha")) {
      m.textContent = m.textContent;  // back to one plain text
      m.classList.remove("com-escolha");
    }
    if (!escolha) return;
    const letras = Array.from(escolha.texto.textContent);
    const parte = (classe, inicio, fim) => {
      const span = document.createElement("span");
      if (classe) span.className = classe;
      span.textContent = letras.slice(inicio, fim).join("");
      return span;
    };
    const i = escolha.coluna - 1;
    const f = i + escolha.tamanho;
    escolha.texto.replaceChildren(parte("", 0, i), parte("escolhido", i, f), parte("", f, letras.length));
    escolha.texto.classList.add("com-escolha");
  }

  function mostraOferta() {
    const ofertas = $("ofertas");
    ofertas.innerHTML = "";
    if (!escolha) {
      $("oferta").hidden = true;
      return;
    }
    const nome = $("nome-campo").value.trim() || "CAMPO";
    const item = `${nome}:${escolha.coluna}:${escolha.tamanho}`;
    const oferta = (texto, linhaInteira, dica) => {
      const div = document.createElement("div");
      const codigo = document.createElement("code");
      codigo.textContent = texto;
      codigo.title = dica;
      const botao = document.createElement("button");
      botao.textContent = "Inserir";
      botao.addEventListener("click", () => insereNoCursor(texto, linhaInteira));
      div.append(botao, codigo);
      ofertas.appendChild(div);
    };
    oferta(item, false, "O item de CAPTURA destas colunas");
    if (escolha.secao) {
      oferta(`CAPTURA ${escolha.secao} ${item}`, true, "A CAPTURA que lê a linha da seção");
      oferta(`INPUT 1.00 1.00 C10 - ${escolha.secao}`, true, "O INPUT que imprime a linha da seção");
    }
    $("oferta").hidden = false;
  }

  relatorio.addEventListener("mouseup", () => {
    const nova = colunasEscolhidas();
    if (!nova) return;
    escolha = nova;
    window.getSelection().removeAllRanges();
    marcaColunas();
    mostraOferta();
  });
  $("nome-campo").addEventListener("input", mostraOferta);

  // ---- The controls.
  function escolhe(grupo, atributo, valor) {
    for (const b of $(grupo).querySelectorAll("button"))
      b.classList.toggle("ativo", b.dataset[atributo] === valor);
  }

  function vaiParaPagina(n) {
    const pagina = Math.max(1, Math.min(estado.paginas, Math.round(n) || 1));
    $("numero-pagina").value = String(pagina);
    if (pagina === estado.pagina) return;
    estado.pagina = pagina;
    carregaRelatorio();
    agendaDesenho(true);
  }

  $("anterior").addEventListener("click", () => vaiParaPagina(estado.pagina - 1));
  $("proxima").addEventListener("click", () => vaiParaPagina(estado.pagina + 1));
  $("numero-pagina").addEventListener("change", (e) => vaiParaPagina(Number(e.target.value)));
  $("lados").addEventListener("click", (e) => {
    const b = e.target.closest("button");
    if (!b || b.disabled) return;
    estado.lado = Number(b.dataset.lado);
    escolhe("lados", "lado", b.dataset.lado);
    agendaDesenho(true);
  });
  $("zoom").addEventListener("click", (e) => {
    const b = e.target.closest("button");
    if (!b) return;
    estado.zoom = b.dataset.zoom;
    escolhe("zoom", "zoom", b.dataset.zoom);
    agendaDesenho(true);
  });
  $("vistas").addEventListener("click", (e) => {
    const b = e.target.closest("button");
    if (!b || b.disabled) return;
    estado.vista = b.dataset.vista;
    escolhe("vistas", "vista", b.dataset.vista);
    agendaDesenho(true);
  });
  $("grade").addEventListener("change", (e) => {
    estado.grade = e.target.checked;
    agendaDesenho(true);
  });
  $("salvar").addEventListener("click", salva);

  editor.addEventListener("input", () => {
    atualizaNumeros();
    mostraEstadoSalvo();
    agendaDesenho(false);
  });
  editor.addEventListener("scroll", () => {
    numeros.scrollTop = editor.scrollTop;
    posicionaMarcas();
  });
  // A click or a key in the editor outlines the object of the cursor's line.
  const lembraCursor = () => {
    estado.cursor = editor.selectionStart;
    const linha = linhaDoCursor(editor.selectionStart);
    if (linha !== estado.selecionada) {
      estado.selecionada = linha;
      marcaLinhaAtual();
      const contorno = contornos.querySelector(`[data-linha="${linha}"]`);
      if (contorno) contorno.scrollIntoView({ block: "nearest", inline: "nearest" });
    }
  };
  editor.addEventListener("click", lembraCursor);
  editor.addEventListener("keyup", lembraCursor);
  rolagem.addEventListener("scroll", desenhaReguas);
  window.addEventListener("resize", () => {
    desenhaReguas();
    if (estado.zoom === "inteira") agendaDesenho(false);
  });
  document.addEventListener("keydown", (e) => {
    if ((e.ctrlKey || e.metaKey) && e.key.toLowerCase() === "s") {
      e.preventDefault();
      salva();
    }
  });
  window.addEventListener("beforeunload", (e) => {
    if (editor.value === estado.salvo) return;
    e.preventDefault();
    e.returnValue = "";
  });

  // ---- The start: the form, the report, the first picture.
  async function inicia() {
    const r = await pede("api/estado");
    editor.value = r.texto;
    // The editor keeps its lines with line feeds alone, as the form is then saved.
    estado.salvo = editor.value;
    estado.conjunto = r.conjunto;
    estado.paginas = r.paginas;
    estado.vistas = r.vistas;
    $("nome-formulario").textContent = r.formulario + (r.existe ? "" : " (novo)");
    $("nome-relatorio").textContent = r.relatorio;
    $("total-paginas").textContent = `de ${r.paginas}`;
    $("numero-pagina").max = String(r.paginas);
    for (const b of $("vistas").querySelectorAll("button"))
      if (b.dataset.vista !== "morvpdf") b.disabled = !r.vistas[b.dataset.vista];
    atualizaNumeros();
    mostraEstadoSalvo();
    carregaRelatorio();
    agendaDesenho(true);
  }

  inicia().catch(() => mostraEstadoSalvo("o estúdio não respondeu"));
})();
