#!/usr/bin/python3
# The studio in a real browser: morvstudio -p 0 on a copy of the example, Debian's chromium driven
# through chromium-driver. One run, a few scenes, each checking what a designer sees:
#   the picture of page 1 is poppler's render of morvpdf's page 1, pixel for pixel;
#   a new y typed for a TEXTO moves that text in the picture by that much;
#   an unknown command shows the loader's message at its editor line, the last picture stays;
#   a click on the Pix QR code selects its CODMATRIZ line; dragging the order's box one inch to
#   the right adds 1.00 to its x;
#   columns 10 to 49 of a section line offer NOME:10:40;
#   Save writes exactly the editor's text;
#   the browser's console shows no error.
# Usage: navegador.py <morvstudio> <morvpdf> <examples dir>. Exit 77 (skipped) where chromium
# cannot start.
import base64
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import zlib

PULO = 77
ESPERA = 60
DPI_100 = 96

try:
    from selenium import webdriver
    from selenium.common.exceptions import TimeoutException, WebDriverException
    from selenium.webdriver.chrome.options import Options
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError as e:
    print(f"SKIP: python3-selenium not installed ({e})")
    sys.exit(PULO)


def pixels_png(dados):
    """Width, height and the RGB bytes of an 8-bit truecolor PNG (all the studio and pdftoppm write)."""
    assert dados[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    i, idat = 8, b""
    while i < len(dados):
        n = struct.unpack(">I", dados[i:i + 4])[0]
        tipo, corpo = dados[i + 4:i + 8], dados[i + 8:i + 8 + n]
        i += 12 + n
        if tipo == b"IHDR":
            largura, altura, bits, cor, _, _, entrelacado = struct.unpack(">IIBBBBB", corpo)
            assert bits == 8 and cor == 2 and entrelacado == 0, "unexpected PNG kind"
        elif tipo == b"IDAT":
            idat += corpo
    bruto, passo = zlib.decompress(idat), largura * 3
    saida, anterior, p = bytearray(), bytearray(passo), 0
    for _ in range(altura):
        filtro, linha = bruto[p], bytearray(bruto[p + 1:p + 1 + passo])
        p += 1 + passo
        for x in range(passo):
            a = linha[x - 3] if x >= 3 else 0
            b = anterior[x]
            c = anterior[x - 3] if x >= 3 else 0
            if filtro == 1:
                linha[x] = (linha[x] + a) & 255
            elif filtro == 2:
                linha[x] = (linha[x] + b) & 255
            elif filtro == 3:
                linha[x] = (linha[x] + ((a + b) >> 1)) & 255
            elif filtro == 4:
                pp = a + b - c
                pa, pb, pc = abs(pp - a), abs(pp - b), abs(pp - c)
                linha[x] = (linha[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        saida += linha
        anterior = linha
    return largura, altura, bytes(saida)


def recorte(figura, x, y, largura, altura):
    l, _, px = figura
    return b"".join(px[(y + j) * l * 3 + x * 3:(y + j) * l * 3 + (x + largura) * 3] for j in range(altura))


class Esgotado(Exception):
    """What a scene waited for did not come."""


class Cena:
    def __init__(self):
        self.falhas = []

    def confere(self, condicao, descricao):
        print(("ok   " if condicao else "FAIL ") + descricao, flush=True)
        if not condicao:
            self.falhas.append(descricao)


def abre_chromium(pasta):
    opcoes = Options()
    for a in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
              "--disable-background-networking", "--disable-component-update", "--disable-sync",
              "--user-data-dir=" + os.path.join(pasta, "perfil"), "--window-size=1600,1000"]:
        opcoes.add_argument(a)
    opcoes.binary_location = "/usr/bin/chromium"
    opcoes.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=opcoes)


def main():
    estudio, morvpdf, exemplos = sys.argv[1:4]
    if not shutil.which("pdftoppm"):
        print("SKIP: pdftoppm not found (poppler-utils)")
        return PULO
    pasta = tempfile.mkdtemp(prefix="morv-navegador-")
    for nome in ("relatorio.txt", "formulario.fmt", "logo.bmp"):
        shutil.copy(os.path.join(exemplos, nome), pasta)
    processo = subprocess.Popen([estudio, "-p", "0", "relatorio.txt", "formulario.fmt"], cwd=pasta,
                                stdout=subprocess.PIPE, text=True)
    navegador = None
    try:
        endereco = processo.stdout.readline().strip()
        try:
            navegador = abre_chromium(pasta)
        except WebDriverException as e:
            print(f"SKIP: chromium cannot start: {e.msg}")
            return PULO
        return cenas(navegador, endereco, pasta, morvpdf)
    except Esgotado as e:
        print(f"FAIL {e} (nothing after {ESPERA} s)")
        return 1
    finally:
        if navegador is not None:
            navegador.quit()
        processo.send_signal(signal.SIGTERM)
        processo.wait()
        shutil.rmtree(pasta, ignore_errors=True)


def cenas(nav, endereco, pasta, morvpdf):
    c = Cena()
    espera_selenium = WebDriverWait(nav, ESPERA)

    class Espera:
        @staticmethod
        def until(condicao, descricao="the page to answer"):
            try:
                return espera_selenium.until(condicao)
            except TimeoutException:
                raise Esgotado(descricao)
    espera = Espera()
    nav.get(endereco)
    js = nav.execute_script
    editor = nav.find_element(By.CSS_SELECTOR, '[data-morv="formulario"]')
    pagina = nav.find_element(By.CSS_SELECTOR, '[data-morv="pagina"]')

    def fonte():
        return pagina.get_attribute("src") or ""

    def espera_figura(anterior):
        espera.until(lambda _: fonte().startswith("data:image/png") and fonte() != anterior, "a new picture")
        return pixels_png(base64.b64decode(fonte().split(",", 1)[1]))

    def linha_de(texto):
        linhas = editor.get_property("value").split("\n")
        return next(i + 1 for i, l in enumerate(linhas) if l.startswith(texto))

    def texto_da_linha(n):
        return editor.get_property("value").split("\n")[n - 1]

    def inicio_da_linha(n):
        return sum(len(l) + 1 for l in editor.get_property("value").split("\n")[:n - 1])

    def caixa(linha):
        return js("""const d = document.querySelector('[data-linha="' + arguments[0] + '"]');
                     return [d.offsetLeft, d.offsetTop, d.offsetWidth, d.offsetHeight];""", linha)

    # The point of the page at (x, y) inches, brought into the view, in the window's pixels.
    def ponto(x, y):
        return js("""const r = document.getElementById('rolagem'), b0 = arguments[0].getBoundingClientRect();
                     const x = arguments[1] * arguments[3], y = arguments[2] * arguments[3];
                     r.scrollTop += b0.top + y - r.getBoundingClientRect().top - r.clientHeight / 2;
                     r.scrollLeft += b0.left + x - r.getBoundingClientRect().left - r.clientWidth / 2;
                     const b = arguments[0].getBoundingClientRect();
                     return [Math.round(b.left + x), Math.round(b.top + y)];""", pagina, x, y, DPI_100)

    def seleciona(inicio, fim):
        js("arguments[0].focus(); arguments[0].setSelectionRange(arguments[1], arguments[2]);",
           editor, inicio, fim)

    # The page at 100%: 96 pixels to the inch.
    espera_figura("")
    anterior = fonte()
    nav.find_element(By.CSS_SELECTOR, '[data-zoom="1"]').click()
    figura = espera_figura(anterior)
    dpi = pagina.get_attribute("data-dpi")
    c.confere(float(dpi) == DPI_100, f"100% draws at {DPI_100} dpi (data-dpi {dpi})")

    # 1. The picture is poppler's page of morvpdf's own document.
    subprocess.run([morvpdf, "relatorio.txt", "formulario.fmt", "exemplo.pdf"], cwd=pasta, check=True)
    subprocess.run(["pdftoppm", "-r", dpi, "-f", "1", "-l", "1", "-png", "exemplo.pdf", "pagina"],
                   cwd=pasta, check=True)
    poppler = pixels_png(open(os.path.join(pasta, next(
        n for n in sorted(os.listdir(pasta)) if n.startswith("pagina") and n.endswith(".png"))), "rb").read())
    c.confere(figura == poppler, "page 1 is poppler's render of morvpdf's page 1, pixel for pixel")

    # 2. A new y for one TEXTO moves it by that much in the picture.
    n = linha_de('TEXTO 0.7 8.35 A7 - "MENSAGEM AO CLIENTE"')
    x, y, largura, altura = caixa(n)
    antes = recorte(figura, x, y, largura, altura)
    inicio = inicio_da_linha(n) + texto_da_linha(n).index("8.35")
    seleciona(inicio, inicio + 4)
    anterior = fonte()
    editor.send_keys("8.85")
    figura = espera_figura(anterior)
    passo = int(0.5 * DPI_100)
    c.confere(recorte(figura, x, y + passo, largura, altura) == antes,
              "TEXTO with y 8.85 for 8.35 is drawn half an inch lower, the same pixels")
    c.confere(set(recorte(figura, x, y, largura, altura)) == {255},
              "and nothing is left where it was")

    # 3. An unknown command: the loader's message at its line, the last picture kept.
    valor = editor.get_property("value")
    n = linha_de("RETANG 0.6 0.6 7.05 0.7 15 0")
    seleciona(inicio_da_linha(n), inicio_da_linha(n))
    anterior = fonte()
    editor.send_keys("# nota" + Keys.ENTER + Keys.ENTER + "XYZZY 1 2" + Keys.ENTER)
    erro = n + 2
    brancas = sum(1 for l in editor.get_property("value").split("\n")[:erro] if not l.strip())
    mensagem = f"Comando desconhecido [XYZZY] - linha {erro - brancas}"
    item = f'[data-morv="mensagens"] [data-mensagem-linha="{erro}"]'
    espera.until(lambda _: nav.find_elements(By.CSS_SELECTOR, item), f"a message at editor line {erro}")
    c.confere(mensagem in nav.find_element(By.CSS_SELECTOR, item).text,
              f"the messages list '{mensagem}' at editor line {erro}")
    marca = nav.find_element(By.ID, "marca-erro")
    c.confere(marca.get_attribute("data-mensagem-linha") == str(erro) and
              marca.get_property("textContent") == mensagem,
              "the editor shows the message on that line")
    c.confere(fonte() == anterior and "desatualizada" in nav.find_element(By.ID, "folha").get_attribute("class"),
              "the last picture stays, marked out of date")
    js("arguments[0].value = arguments[1]; arguments[0].dispatchEvent(new Event('input'));", editor, valor)
    espera.until(lambda _: "desatualizada" not in nav.find_element(By.ID, "folha").get_attribute("class"),
                 "the picture of the mended form")

    # 4. A click on the Pix QR code selects its line; the order's box dragged one inch right.
    n = linha_de("CODMATRIZ 6.35 9.2 1.2 qrcode 6")
    acao = ActionBuilder(nav)
    acao.pointer_action.move_to_location(*ponto(6.95, 9.8)).click()
    acao.perform()
    inicio, fim = editor.get_property("selectionStart"), editor.get_property("selectionEnd")
    c.confere(editor.get_property("value")[inicio:fim] == texto_da_linha(n),
              f"a click on the QR code selects line {n}, its CODMATRIZ")
    n = linha_de("RETANGA 0.6 4.75 7.05 1.45 1001 2")
    anterior = fonte()
    x, y = ponto(2.0, 4.8)
    acao = ActionBuilder(nav)
    acao.pointer_action.move_to_location(x, y).pointer_down().move_to_location(x + DPI_100 // 2, y)
    acao.pointer_action.move_to_location(x + DPI_100, y).pointer_up()
    acao.perform()
    espera.until(lambda _: texto_da_linha(n) != "RETANGA 0.6 4.75 7.05 1.45 1001 2", "the dragged box's line to change")
    c.confere(texto_da_linha(n) == "RETANGA 1.60 4.75 7.05 1.45 1001 2",
              f"dragging the order's box an inch to the right writes '{texto_da_linha(n)}'")
    espera_figura(anterior)

    # 5. Columns 10 to 49 of a section's line give the capture item.
    linha = nav.find_element(By.CSS_SELECTOR, '[data-morv="relatorio"] [data-n="5"] .texto')
    js("""const t = arguments[0].firstChild, r = document.createRange();
          r.setStart(t, 9); r.setEnd(t, 49);
          getSelection().removeAllRanges(); getSelection().addRange(r);
          arguments[0].dispatchEvent(new MouseEvent('mouseup', {bubbles: true}));""", linha)
    nome = nav.find_element(By.ID, "nome-campo")
    nome.clear()
    nome.send_keys("NOME")
    oferta = nav.find_element(By.CSS_SELECTOR, '[data-morv="campo"]').text
    c.confere("NOME:10:40" in oferta and "CAPTURA 1 NOME:10:40" in oferta and "INPUT 1.00 1.00 C10 - 1" in oferta,
              "columns 10 to 49 of section 1's line offer NOME:10:40, its CAPTURA and its INPUT")

    # 6. Save writes exactly the editor's text.
    editor.send_keys(Keys.CONTROL, "s")
    espera.until(lambda _: nav.find_element(By.ID, "estado-salvo").text == "salvo", "the form saved")
    salvo = open(os.path.join(pasta, "formulario.fmt"), "rb").read()
    c.confere(salvo == editor.get_property("value").encode("utf-8"), "Ctrl+S saved exactly the editor's text")

    # 7. Nothing went wrong in the page.
    erros = [e for e in nav.get_log("browser") if e["level"] == "SEVERE"]
    c.confere(not erros, "the browser's console shows no error" + "".join(f"\n     {e['message']}" for e in erros))
    return 1 if c.falhas else 0


if __name__ == "__main__":
    sys.exit(main())
